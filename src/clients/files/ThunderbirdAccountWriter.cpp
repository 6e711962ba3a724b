#include "clients/files/ThunderbirdAccountWriter.h"

#include "app/AppDataFolder.h"
#include "app/AppPaths.h"
#include "clients/files/SettingsFileChecks.h"
#include "clients/files/SettingsLines.h"
#include "clients/files/ThunderbirdInstallHash.h"
#include "platform/Text.h"

namespace pw {

namespace {

const WriterWording kWording = {
    "Searching for existant ", false, " ", "", "Reseting", false,
    "The following lines were written/overwritten in the Thunderbird configuration file:", false, true, true,
};

}  // namespace

ThunderbirdAccountWriter::ThunderbirdAccountWriter(const AccountRequest& request, const std::string& program,
                                                   Registry& registry, FileSystem& files, Environment& environment,
                                                   Clock& clock, RunLog& log, const ProviderSettings& provider)
    : ConfigureSkeleton(request, std::nullopt, log, kWording),
      program_(program),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      provider_(provider),
      accounts_(request.address, provider),
      prefs_(request, provider) {}

// Without a folder the profile list would land below the root of the drive.
StepResult ThunderbirdAccountWriter::Open() {
  const std::optional<std::string> app_data = AppDataFolder(registry_, environment_);
  log_.Line("Starting Thunderbird configuration...");
  log_.BlankLine();
  if (!app_data) return FileFailure("The user's application data folder is not known.");
  return LocateProfile(*app_data);
}

StepResult ThunderbirdAccountWriter::LocateProfile(const std::string& app_data) {
  const std::string thunderbird = app_data + "\\Thunderbird";
  DefaultProfile chosen;
  if (StepResult failed = ChooseProfile(thunderbird, &chosen)) return failed;

  const std::vector<std::string> folders = ProfileFolders(thunderbird, chosen);
  prefs_path_ = folders.back() + "\\prefs.js";
  temp_path_ = folders.back() + "\\prefs.tmp";
  const Status s = files_.ReadAll(prefs_path_, &bytes_);
  if (IsMissing(s)) {
    log_ << "Profile directory not found. Creating in user's application data folder ... ";
    for (const std::string& folder : folders)
      if (StepResult failed = MakeFolder(folder)) return failed;
    log_.Line("done.");
    no_prefs_ = true;
    bytes_.clear();
    return std::nullopt;
  }
  if (s) return FileFailure(DescribeFailure("Reading", prefs_path_, s));
  if (StepResult refused = RefuseToRewrite(files_, prefs_path_, bytes_)) return refused;
  if (bytes_.size() > ParsedPrefs::kMaxText)
    return FileFailure(prefs_path_ + " is too large to be read (4 GB or more); it is left as it is.");
  return std::nullopt;
}

StepResult ThunderbirdAccountWriter::ChooseProfile(const std::string& thunderbird, DefaultProfile* chosen) {
  const std::string list_path = thunderbird + "\\profiles.ini";
  std::string bytes;
  const Status s = files_.ReadAll(list_path, &bytes);
  if (IsMissing(s)) {
    if (StepResult failed = CreateProfileList(thunderbird)) return failed;
    *chosen = {true, kNewProfileFolder, true};
    return std::nullopt;
  }
  if (s) return FileFailure(DescribeFailure("Reading", list_path, s));
  if (StepResult refused = RefuseToRewrite(files_, list_path, bytes)) return refused;
  *chosen = FindDefaultProfilePath(SplitLines(bytes));
  if (!chosen->found) return FileFailure("No default profile was found in " + list_path + ".");
  return std::nullopt;
}

// A current Thunderbird opens only the profile that the section of its own
// installation names, and makes an empty one of its own without it: the list
// names the new profile for the installation App Paths registers.
StepResult ThunderbirdAccountWriter::CreateProfileList(const std::string& thunderbird) {
  log_ << "Profile data not found. Creating in user's application data folder ... ";
  if (StepResult failed = MakeFolder(thunderbird)) return failed;
  const std::optional<std::string> program = RegisteredProgramPath(registry_, environment_, program_);
  const std::optional<std::string> installation = program ? FolderOf(*program) : std::nullopt;
  const std::optional<std::string> hash =
      installation ? std::optional<std::string>(ThunderbirdInstallHash(*installation)) : std::nullopt;
  if (StepResult failed =
          SaveNew(thunderbird + "\\profiles.ini", thunderbird + "\\profiles.tmp", NewProfilesIni(hash)))
    return failed;
  // installs.ini keeps the same for the client; one that is there is the client's own.
  const std::string installs = thunderbird + "\\installs.ini";
  FileAttributes attributes;
  const bool keep_installs = hash && !IsMissing(files_.ReadAttributes(installs, &attributes));
  if (hash && !keep_installs)
    if (StepResult failed = SaveNew(installs, thunderbird + "\\installs.tmp", NewInstallsIni(*hash))) return failed;
  log_.Line("done.");
  if (!hash)
    log_.Line("The folder Thunderbird is installed in is not known, so no profile is named for its installation: "
              "a current Thunderbird makes a profile of its own on its first start.");
  else
    log_.Line("The profile is named for the installation in " + *installation + " (Install" + *hash + ")" +
              (keep_installs ? "; " + installs + " is left as it is." : "."));
  return std::nullopt;
}

StepResult ThunderbirdAccountWriter::SaveNew(const std::string& path, const std::string& temp_path,
                                             const std::vector<std::string>& lines) {
  const SaveOutcome saved = SafeReplace(files_, clock_).Save(path, temp_path, JoinLines(lines));
  if (!saved.ok()) return Failure{result::kSaveFailed, {"failed.", saved.Describe(), ""}};
  created_.push_back({path, false});
  return std::nullopt;
}

// Completes a "Creating ... " log line when the folder cannot be made; one
// that exists already is fine.
StepResult ThunderbirdAccountWriter::MakeFolder(const std::string& path) {
  const Status s = files_.MakeFolder(path);
  if (s == err::kSuccess) created_.push_back({path, true});
  if (s == err::kSuccess || s == err::kAlreadyExists) return std::nullopt;
  return Failure{result::kSaveFailed, {"failed.", DescribeFailure("Creating", path, s), ""}};
}

// Every step asks the lines read once.
StepResult ThunderbirdAccountWriter::Find(bool* found) {
  parsed_.emplace(bytes_);
  *found = !no_prefs_ && (request_.account_key ? accounts_.FindNamedAccount(*parsed_, *request_.account_key, &numbers_)
                                               : accounts_.FindAccount(*parsed_, &numbers_));
  return std::nullopt;
}

// A rewrite's report is the lines it put into the file.
StepResult ThunderbirdAccountWriter::Rewrite() {
  produce_ = [this](SaveSink& sink) { prefs_.RewriteTo(*parsed_, &numbers_, &written_, sink); };
  return std::nullopt;
}

// A new account's report is its complete set with its numbers.
StepResult ThunderbirdAccountWriter::Add() {
  produce_ = [this](SaveSink& sink) {
    if (no_prefs_) {
      for (const std::string& line : prefs_.NewProfile(&numbers_)) {
        sink.Append(line);
        sink.Append("\r\n");
      }
    } else {
      prefs_.AddTo(*parsed_, &numbers_, sink);
    }
    written_ = prefs_.CompleteSet(numbers_);
  };
  return std::nullopt;
}

// The new file goes straight to the temporary file.
StepResult ThunderbirdAccountWriter::Save() {
  const SaveOutcome saved = SafeReplace(files_, clock_).Save(prefs_path_, temp_path_, produce_);
  if (!saved.ok()) return Failure{result::kSaveFailed, {"", saved.Describe(), ""}};
  return std::nullopt;
}

// Deepest first; a removal that fails leaves the rest standing as well.
void ThunderbirdAccountWriter::TakeBack() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    if (it->folder ? files_.RemoveFolder(it->path) : files_.Remove(it->path)) break;
  }
  created_.clear();
}

}  // namespace pw
