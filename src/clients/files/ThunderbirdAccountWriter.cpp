#include "clients/files/ThunderbirdAccountWriter.h"

#include "app/AppDataFolder.h"
#include "clients/files/SettingsFile.h"
#include "platform/Text.h"

namespace pw {

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
  // Without a folder the profile list would land below the root of the drive.
  const std::optional<std::string> app_data = AppDataFolder(registry_, environment_);
  log_.Line("Starting Thunderbird configuration...");
  log_.BlankLine();
  if (!app_data) {
    LogFailure("The user's application data folder is not known.");
    return result::kSaveFailed;
  }
  Profile profile;
  const ConfigureResult result = LocateProfile(*app_data, &profile) ? WritePrefs(profile) : result::kSaveFailed;
  // The caller reports that no changes have been made.
  if (result != result::kConfigured) RemoveCreated();
  return result;
}

bool ThunderbirdAccountWriter::LocateProfile(const std::string& app_data, Profile* profile) {
  const std::string thunderbird = app_data + "\\Thunderbird";
  DefaultProfile chosen;
  if (!ChooseProfile(thunderbird, &chosen)) return false;

  const std::vector<std::string> folders = ProfileFolders(thunderbird, chosen);
  profile->prefs_path = folders.back() + "\\prefs.js";
  profile->temp_path = folders.back() + "\\prefs.tmp";
  std::string bytes;
  const Status s = files_.ReadAll(profile->prefs_path, &bytes);
  if (IsMissing(s)) {
    log_ << "Profile directory not found. Creating in user's application data folder ... ";
    for (const std::string& folder : folders)
      if (!MakeFolder(folder)) return false;
    log_.Line("done.");
    profile->no_prefs = true;
    return true;
  }
  if (s) {
    LogFailure(DescribeFailure("Reading", profile->prefs_path, s));
    return false;
  }
  if (!Rewritable(profile->prefs_path, bytes)) return false;
  if (bytes.size() > ParsedPrefs::kMaxText) {
    LogFailure(profile->prefs_path + " is too large to be read (4 GB or more); it is left as it is.");
    return false;
  }
  profile->prefs = std::move(bytes);
  return true;
}

bool ThunderbirdAccountWriter::ChooseProfile(const std::string& thunderbird, DefaultProfile* chosen) {
  const std::string list_path = thunderbird + "\\profiles.ini";
  std::string bytes;
  const Status s = files_.ReadAll(list_path, &bytes);
  if (IsMissing(s)) {
    if (!CreateProfileList(thunderbird)) return false;
    *chosen = {true, kNewProfileFolder, true};
    return true;
  }
  if (s) {
    LogFailure(DescribeFailure("Reading", list_path, s));
    return false;
  }
  if (!Rewritable(list_path, bytes)) return false;
  *chosen = FindDefaultProfilePath(SplitLines(bytes));
  if (!chosen->found) LogFailure("No default profile was found in " + list_path + ".");
  return chosen->found;
}

bool ThunderbirdAccountWriter::CreateProfileList(const std::string& thunderbird) {
  log_ << "Profile data not found. Creating in user's application data folder ... ";
  if (!MakeFolder(thunderbird)) return false;
  const std::string list_path = thunderbird + "\\profiles.ini";
  const SaveOutcome saved =
      SettingsFile(files_, clock_).Save(list_path, thunderbird + "\\profiles.tmp", JoinLines(NewProfilesIni()));
  if (!saved.ok()) {
    log_.Line("failed.");
    LogFailure(saved.Describe());
    return false;
  }
  created_.push_back({list_path, false});
  log_.Line("done.");
  return true;
}

// Completes a "Creating ... " log line when the folder cannot be made; one
// that exists already is fine.
bool ThunderbirdAccountWriter::MakeFolder(const std::string& path) {
  const Status s = files_.MakeFolder(path);
  if (s == err::kSuccess) created_.push_back({path, true});
  if (s == err::kSuccess || s == err::kAlreadyExists) return true;
  log_.Line("failed.");
  LogFailure(DescribeFailure("Creating", path, s));
  return false;
}

bool ThunderbirdAccountWriter::Rewritable(const std::string& path, const std::string& bytes) {
  const std::string refusal = RefusalToRewrite(files_, path, bytes);
  if (!refusal.empty()) LogFailure(refusal);
  return refusal.empty();
}

ConfigureResult ThunderbirdAccountWriter::WritePrefs(const Profile& profile) {
  const ThunderbirdPrefs prefs(request_, provider_);
  // Every step asks the lines read once.
  const ParsedPrefs parsed(profile.prefs);
  log_ << "Searching for existant " << request_.address << " account ... ";
  PrefNumbers numbers;
  const bool found = !profile.no_prefs && (request_.account_key
                                               ? prefs.FindNamedAccount(parsed, *request_.account_key, &numbers)
                                               : prefs.FindAccount(parsed, &numbers));
  if (found && !request_.overwrite) {
    log_.Line(" found. No changes will be made.");
    return result::kAlreadyExists;
  }

  PrefLines written;
  SaveProducer produce;
  if (found) {
    log_.Line(" found. Reseting settings to defaults.");
    produce = [&](SaveSink& sink) { prefs.RewriteTo(parsed, &numbers, &written, sink); };
  } else {
    log_.Line("not found. Creating new account.");
    produce = [&](SaveSink& sink) {
      if (profile.no_prefs) {
        for (const std::string& line : prefs.NewProfile(&numbers)) {
          sink.Append(line);
          sink.Append("\r\n");
        }
      } else {
        prefs.AddTo(parsed, &numbers, sink);
      }
      written = prefs.CompleteSet(numbers);
    };
  }

  // The new file goes straight to the temporary file.
  const SaveOutcome saved = SettingsFile(files_, clock_).Save(profile.prefs_path, profile.temp_path, produce);
  if (!saved.ok()) {
    log_.BlankLine();
    LogFailure(saved.Describe());
    return result::kSaveFailed;
  }
  LogReport(written);
  return result::kConfigured;
}

// Deepest first; a removal that fails leaves the rest standing as well.
void ThunderbirdAccountWriter::RemoveCreated() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    if (it->folder ? files_.RemoveFolder(it->path) : files_.Remove(it->path)) break;
  }
  created_.clear();
}

// A new account's block is its complete set with its numbers; a rewrite's,
// the lines it put into the file.
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
