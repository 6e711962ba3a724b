#include "clients/files/EudoraAccountWriter.h"

#include <optional>
#include <utility>

#include "app/AppDataFolder.h"
#include "app/AppPaths.h"
#include "clients/files/SettingsFileChecks.h"
#include "platform/SafeReplace.h"

namespace pw {

namespace {

const char kSettingsName[] = "Eudora.ini";

// A display name given on the command line may hold line breaks; in the
// file they would start lines of their own.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\r' || c == '\n') c = ' ';
  return text;
}

// Beside the settings file, with its extension (the last three characters,
// "ini" where the writer found the file) replaced.
std::string TempPath(const std::string& path) { return path.substr(0, path.size() - 3) + "tmp"; }

const WriterWording kWording = {
    "Searching for existant ", false, " ", "", "Reseting", false,
    "The following lines were written/overwritten in the Eudora configuration file:", false, true, true,
};

}  // namespace

EudoraAccountWriter::EudoraAccountWriter(const AccountRequest& request, const std::string& program,
                                         Registry& registry, FileSystem& files, Environment& environment,
                                         Clock& clock, RunLog& log, const ProviderSettings& provider)
    : ConfigureSkeleton(AccountRequest{OneLine(request.address), OneLine(request.display_name), request.make_default,
                                   request.overwrite, request.account_key},
                    std::nullopt, log, kWording),
      program_(program),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      provider_(provider) {}

// Eudora reads its settings in the system's code page: a name it cannot hold
// would arrive as question marks, so nothing is written at all.
StepResult EudoraAccountWriter::Open() {
  log_.Line("Starting Eudora configuration...");
  log_.BlankLine();
  const std::pair<const std::string*, std::string*> texts[] = {{&request_.display_name, &ansi_display_name_},
                                                                {&request_.address, &ansi_address_}};
  for (const auto& text : texts) {
    if (environment_.ToAnsiCodePage(*text.first, text.second)) continue;
    return Failure{result::kNotInCodePage,
                   {"\"" + *text.first + "\" cannot be written in the system's code page, in which Eudora reads its "
                    "settings.",
                    "No changes have been made.", ""}};
  }
  return ReadSettings();
}

std::vector<std::string> EudoraSettingsPaths(Registry& registry, Environment& environment,
                                             const std::string& program) {
  std::vector<std::string> paths;
  if (const std::optional<std::string> app_data = AppDataFolder(registry, environment))
    paths.push_back(*app_data + "\\Qualcomm\\Eudora\\" + kSettingsName);
  // The folder of the program, as Windows starts it from its registration.
  const std::optional<std::string> program_path = RegisteredProgramPath(registry, environment, program);
  if (const std::optional<std::string> folder = program_path ? FolderOf(*program_path) : std::nullopt)
    paths.push_back(*folder + "\\" + kSettingsName);
  return paths;
}

// The first file of EudoraSettingsPaths that is there. One that is there but
// cannot be read, or must not be rewritten, ends the search.
StepResult EudoraAccountWriter::ReadSettings() {
  for (const std::string& candidate : EudoraSettingsPaths(registry_, environment_, program_)) {
    std::string bytes;
    const Status s = files_.ReadAll(candidate, &bytes);
    if (IsMissing(s)) continue;
    if (s) return FileFailure(DescribeFailure("Reading", candidate, s));
    if (StepResult refused = RefuseToRewrite(files_, candidate, bytes)) return refused;
    path_ = candidate;
    ini_.emplace(EudoraIni::Read(std::move(bytes)));
    return std::nullopt;
  }
  return Failure{result::kUnableToConfigure, {}};
}

StepResult EudoraAccountWriter::Find(bool* found) {
  found_ = request_.account_key ? ini_->FindPersonality(*request_.account_key) : ini_->FindReturnAddress(ansi_address_);
  *found = found_.has_value();
  return std::nullopt;
}

EudoraKeys EudoraAccountWriter::StoredKeys() const {
  return EudoraKeyTable(ansi_address_, ansi_display_name_, provider_);
}

StepResult EudoraAccountWriter::Rewrite() {
  ini_->RewriteSection(*found_, StoredKeys());
  return std::nullopt;
}

StepResult EudoraAccountWriter::Add() {
  if (ini_->IsDominantPersonalityInUse() || ini_->FindLastPersonaNumber() >= 0)
    ini_->AddPersonality(ansi_address_, StoredKeys());
  else
    ini_->FillDominantPersonality(StoredKeys());
  return std::nullopt;
}

StepResult EudoraAccountWriter::Save() {
  const SaveOutcome saved =
      SafeReplace(files_, clock_).Save(path_, TempPath(path_), [&](SaveSink& sink) { ini_->WriteTo(sink); });
  if (!saved.ok()) return Failure{result::kSaveFailed, {"", saved.Describe(), ""}};
  return std::nullopt;
}

// Every line of the personality, in the program's text (the file holds
// code-page bytes): each one replaced a line of the file or was added.
std::vector<std::string> EudoraAccountWriter::Report() {
  std::vector<std::string> lines;
  for (const EudoraKey& key : EudoraKeyTable(request_.address, request_.display_name, provider_))
    lines.push_back(key.key + (": " + key.value));
  return lines;
}

}  // namespace pw
