#include "clients/files/ThunderbirdAccountWriter.h"

#include <vector>

#include "app/AppDataFolder.h"
#include "clients/files/SettingsFile.h"
#include "platform/Text.h"

namespace pw {

namespace {

bool IsMissing(Status s) { return s == err::kFileNotFound || s == err::kPathNotFound; }

std::string ReadFailure(const std::string& path, Status s) {
  return "Reading " + path + " failed with error code " + std::to_string(s) + ".";
}

std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path + "\\") {
    if (c != '\\' && c != '/') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(part);
      part.clear();
    }
  }
  return parts;
}

}  // namespace

ThunderbirdAccountWriter::ThunderbirdAccountWriter(const AccountRequest& request, Registry& registry,
                                                   FileSystem& files, Environment& environment, Clock& clock,
                                                   RunLog& log, const ProviderSettings& provider)
    : request_(request),
      registry_(registry),
      files_(files),
      environment_(environment),
      clock_(clock),
      log_(log),
      provider_(provider) {}

ConfigureResult ThunderbirdAccountWriter::Configure() {
  std::string app_data;
  const bool app_data_known = FindAppDataFolder(&app_data);
  log_.Line("Starting Thunderbird configuration...");
  log_.BlankLine();
  if (!app_data_known) {
    LogFailure("The user's application data folder is not known.");
    return result::kSaveFailed;
  }
  Profile profile;
  if (!LocateProfile(app_data, &profile)) return result::kSaveFailed;
  return WritePrefs(profile);
}

// The registry's folder, as the run log finds it; a registry without one
// would put the profile list below the root of the current drive, so the
// shell's folder (where Thunderbird itself looks) stands in.
bool ThunderbirdAccountWriter::FindAppDataFolder(std::string* folder) {
  const std::optional<std::string> found = AppDataFolder(registry_, environment_);
  if (found) *folder = *found;
  return found.has_value();
}

bool ThunderbirdAccountWriter::LocateProfile(const std::string& app_data, Profile* profile) {
  const std::string thunderbird = app_data + "\\Thunderbird";
  const std::string list_path = thunderbird + "\\profiles.ini";
  std::string bytes;
  DefaultProfile found;
  Status s = files_.ReadAll(list_path, &bytes);
  if (IsMissing(s)) {
    if (!CreateProfileList(thunderbird)) return false;
    found.path = kNewProfileFolder;
  } else if (s) {
    LogFailure(ReadFailure(list_path, s));
    return false;
  } else {
    found = FindDefaultProfilePath(SplitLines(bytes));
    const size_t slash = found.path.find('/');
    if (slash != std::string::npos) found.path[slash] = '\\';
  }

  const std::string folder = found.relative ? thunderbird + "\\" + found.path : found.path;
  profile->prefs_path = folder + "\\prefs.js";
  profile->temp_path = folder + "\\prefs.tmp";
  s = files_.ReadAll(profile->prefs_path, &bytes);
  if (IsMissing(s)) {
    log_ << "Profile directory not found. Creating in user's application data folder ... ";
    MakeProfileFolders(thunderbird, found);
    profile->no_prefs = true;
    log_.Line("done.");
  } else if (s) {
    LogFailure(ReadFailure(profile->prefs_path, s));
    return false;
  } else {
    profile->prefs = SplitLines(bytes);
  }
  return true;
}

bool ThunderbirdAccountWriter::CreateProfileList(const std::string& thunderbird) {
  log_ << "Profile data not found. Creating in user's application data folder ... ";
  static_cast<void>(files_.MakeFolder(thunderbird));  // may exist already
  const SaveOutcome saved = SettingsFile(files_, clock_).Save(thunderbird + "\\profiles.ini",
                                                              thunderbird + "\\profiles.tmp",
                                                              JoinLines(NewProfilesIni()));
  if (!saved.ok()) {
    log_.Line("failed.");
    LogFailure(saved.Describe());
    return false;
  }
  log_.Line("done.");
  return true;
}

// Creates the profile folder one level at a time, every level that is
// missing; results are not checked, as saving prefs.js there will tell.
void ThunderbirdAccountWriter::MakeProfileFolders(const std::string& thunderbird, const DefaultProfile& found) {
  std::vector<std::string> folders;
  std::vector<std::string> parts = PathParts(found.path);
  std::string base = thunderbird;
  size_t first = 0;
  if (found.relative) {
    folders.push_back(thunderbird + "\\Profiles");
  } else if (found.path.compare(0, 2, "\\\\") == 0 && parts.size() >= 2) {
    base = "\\\\" + parts[0] + "\\" + parts[1];  // \\server\share
    first = 2;
  } else if (!parts.empty()) {
    base = parts[0];  // the drive
    first = 1;
  }
  for (size_t i = first; i < parts.size(); ++i) {
    base += "\\" + parts[i];
    if (!EqualsNoCase(base, folders.empty() ? std::string() : folders.back())) folders.push_back(base);
  }
  for (const std::string& folder : folders) static_cast<void>(files_.MakeFolder(folder));
}

ConfigureResult ThunderbirdAccountWriter::WritePrefs(const Profile& profile) {
  const ThunderbirdPrefs prefs(request_, provider_);
  log_ << "Searching for existant " << request_.address << " account ... ";
  std::string identity;
  const bool found = !profile.no_prefs && prefs.FindIdentity(profile.prefs, &identity);
  if (found && !request_.overwrite) {
    log_.Line(" found. No changes will be made.");
    return result::kAlreadyExists;
  }

  PrefNumbers numbers;
  PrefLines lines;
  if (found) {
    log_.Line(" found. Reseting settings to defaults.");
    lines = prefs.Rewrite(profile.prefs, identity, &numbers);
  } else {
    log_.Line("not found. Creating new account.");
    lines = profile.no_prefs ? prefs.NewProfile(&numbers) : prefs.Add(profile.prefs, &numbers);
  }

  const SaveOutcome saved = SettingsFile(files_, clock_).Save(profile.prefs_path, profile.temp_path, JoinLines(lines));
  if (!saved.ok()) {
    log_.BlankLine();
    LogFailure(saved.Describe());
    return result::kSaveFailed;
  }
  LogReport(prefs.CompleteSet(numbers));
  return result::kConfigured;
}

// The same block for every outcome: the account's complete set with its numbers.
void ThunderbirdAccountWriter::LogReport(const PrefLines& lines) {
  log_.BlankLine();
  log_.Line("The following lines were written/overwritten in the Thunderbird configuration file:");
  log_.BlankLine();
  for (const std::string& line : lines) log_.Line(line);
  log_.BlankLine();
}

void ThunderbirdAccountWriter::LogFailure(const std::string& text) {
  log_.Line(text);
  log_.BlankLine();
}

}  // namespace pw
