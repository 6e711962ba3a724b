// Puts one POP3/SMTP account into the Thunderbird profile of the current user
// that Thunderbird opens when started: finds it through profiles.ini
// (creating the list and the profile folder for a user who has never run
// Thunderbird), then rewrites, adds or creates the account's lines in the
// profile's prefs.js.
#pragma once

#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "clients/files/ThunderbirdPrefs.h"
#include "clients/files/ThunderbirdProfiles.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class ThunderbirdAccountWriter : public AccountWriter {
 public:
  // Nothing is read or written here.
  ThunderbirdAccountWriter(const AccountRequest& request, Registry& registry, FileSystem& files,
                           Environment& environment, Clock& clock, RunLog& log,
                           const ProviderSettings& provider = kProvider);

  // Given the request's account key ("account3"), that account is the one
  // found, not the first one with the address.
  // 0 written; 5 an account with this address exists and overwrite is off;
  // 7 no default profile was found, or a settings file could not be read,
  // was refused (read-only, UTF-16) or could not be saved. Unless it returns
  // 0, every file is as it was: what this run created is removed again, and
  // no temporary file is left.
  ConfigureResult Configure() override;

 private:
  struct Profile {
    std::string prefs_path;
    std::string temp_path;
    bool no_prefs = false;  // the profile had no prefs.js
    std::string prefs;      // the bytes of its prefs.js
  };

  struct Created {
    std::string path;
    bool folder;
  };

  bool LocateProfile(const std::string& app_data, Profile* profile);
  bool ChooseProfile(const std::string& thunderbird, DefaultProfile* chosen);
  bool CreateProfileList(const std::string& thunderbird);
  bool MakeFolder(const std::string& path);
  bool Rewritable(const std::string& path, const std::string& bytes);
  ConfigureResult WritePrefs(const Profile& profile);
  void RemoveCreated();
  void LogReport(const PrefLines& lines);
  void LogFailure(const std::string& text);

  AccountRequest request_;
  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  Clock& clock_;
  RunLog& log_;
  ProviderSettings provider_;
  std::vector<Created> created_;  // in the order this run created them
};

}  // namespace pw
