#include "clients/files/EudoraAccountWriter.h"

#include <optional>
#include <utility>

#include "app/AppDataFolder.h"
#include "app/AppPaths.h"
#include "clients/files/SettingsFile.h"

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

}  // namespace

EudoraAccountWriter::EudoraAccountWriter(const AccountRequest& request, const std::string& program,
                                         Registry& registry, FileSystem& files, Environment& environment,
                                         Clock& clock, RunLog& log, const ProviderSettings& provider)
    : request_{OneLine(request.address), OneLine(request.display_name), request.make_default, request.overwrite,
               request.account_key},
      program_(program),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      log_(log),
      provider_(provider) {}

ConfigureResult EudoraAccountWriter::Configure() {
  log_.Line("Starting Eudora configuration...");
  log_.BlankLine();
  // Eudora reads its settings in the system's code page: a name it cannot
  // hold would arrive as question marks, so nothing is written at all.
  const std::pair<const std::string*, std::string*> texts[] = {{&request_.display_name, &ansi_display_name_},
                                                                {&request_.address, &ansi_address_}};
  for (const auto& text : texts) {
    if (environment_.ToAnsiCodePage(*text.first, text.second)) continue;
    log_.Line("\"" + *text.first +
              "\" cannot be written in the system's code page, in which Eudora reads its settings.");
    log_.Line("No changes have been made.");
    log_.BlankLine();
    return result::kNotInCodePage;
  }
  std::string path;
  std::string bytes;
  const ConfigureResult read = ReadSettings(&path, &bytes);
  if (read != result::kConfigured) return read;
  return WriteAccount(path, EudoraIni::Read(std::move(bytes)));
}

std::vector<std::string> EudoraSettingsPaths(Registry& registry, Environment& environment,
                                             const std::string& program) {
  std::vector<std::string> paths;
  if (const std::optional<std::string> app_data = AppDataFolder(registry, environment))
    paths.push_back(*app_data + "\\Qualcomm\\Eudora\\" + kSettingsName);
  RegKeyPtr key;
  std::string program_path;
  if (registry.OpenKey(RegRoot::kLocalMachine, AppPathsKey(program), RegAccess::kRead, &key) == err::kSuccess &&
      ReadRegTextInBuffer(*key, "", kRegTextBufferBytes, &program_path)) {
    const size_t name = program_path.find(program);
    if (name != std::string::npos) paths.push_back(program_path.replace(name, program.size(), kSettingsName));
  }
  return paths;
}

std::vector<std::string> EudoraAccountWriter::SettingsPaths() {
  return EudoraSettingsPaths(registry_, environment_, program_);
}

// The first file of SettingsPaths that is there. One that is there but
// cannot be read, or must not be rewritten, ends the search.
ConfigureResult EudoraAccountWriter::ReadSettings(std::string* path, std::string* bytes) {
  for (const std::string& candidate : SettingsPaths()) {
    const Status s = files_.ReadAll(candidate, bytes);
    if (IsMissing(s)) continue;
    if (s) return Refuse(DescribeFailure("Reading", candidate, s));
    const std::string refusal = RefusalToRewrite(files_, candidate, *bytes);
    if (!refusal.empty()) return Refuse(refusal);
    *path = candidate;
    return result::kConfigured;
  }
  return result::kUnableToConfigure;
}

ConfigureResult EudoraAccountWriter::WriteAccount(const std::string& path, EudoraIni ini) {
  log_ << "Searching for existant " << request_.address << " account ... ";
  const std::optional<size_t> found = request_.account_key ? ini.FindPersonality(*request_.account_key)
                                                          : ini.FindReturnAddress(ansi_address_);
  if (found && !request_.overwrite) {
    log_.Line(" found. No changes will be made.");
    return result::kAlreadyExists;
  }

  // The file holds code-page bytes; the log is given the program's text.
  const EudoraKeys keys = EudoraKeyTable(request_.address, request_.display_name, provider_);
  const EudoraKeys stored = EudoraKeyTable(ansi_address_, ansi_display_name_, provider_);
  if (found) {
    log_.Line(" found. Reseting settings to defaults.");
    ini.RewriteSection(*found, stored);
  } else {
    log_.Line("not found. Creating new account.");
    if (ini.IsDominantPersonalityInUse() || ini.FindLastPersonaNumber() >= 0)
      ini.AddPersonality(ansi_address_, stored);
    else
      ini.FillDominantPersonality(stored);
  }

  const SaveOutcome saved =
      SettingsFile(files_, clock_).Save(path, TempPath(path), [&](SaveSink& sink) { ini.WriteTo(sink); });
  if (!saved.ok()) {
    log_.BlankLine();
    return Refuse(saved.Describe());
  }
  LogReport(keys);
  return result::kConfigured;
}

// The caller reports that no changes have been made.
ConfigureResult EudoraAccountWriter::Refuse(const std::string& text) {
  log_.Line(text);
  log_.BlankLine();
  return result::kSaveFailed;
}

// Every line of the personality: each one replaced a line of the file or was added.
void EudoraAccountWriter::LogReport(const EudoraKeys& keys) {
  log_.BlankLine();
  log_.Line("The following lines were written/overwritten in the Eudora configuration file:");
  log_.BlankLine();
  for (const EudoraKey& key : keys) log_.Line(key.key + (": " + key.value));
  log_.BlankLine();
}

}  // namespace pw
