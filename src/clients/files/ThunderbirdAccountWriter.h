// Puts one POP3/SMTP account into the Thunderbird profile of the current user
// that Thunderbird opens when started: finds it through profiles.ini
// (creating the list and the profile folder for a user who has never run
// Thunderbird), then rewrites, adds or creates the account's lines in the
// profile's prefs.js.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "clients/files/ThunderbirdPrefs.h"
#include "clients/files/ThunderbirdProfiles.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class ThunderbirdAccountWriter : public ConfigureSkeleton {
 public:
  // `program` is Thunderbird's file name as App Paths registers it: a profile
  // list made for a user who never ran Thunderbird names the profile for
  // the installation in its folder. Nothing is read or written here.
  ThunderbirdAccountWriter(const AccountRequest& request, const std::string& program, Registry& registry,
                           FileSystem& files, Environment& environment, Clock& clock, RunLog& log,
                           const ProviderSettings& provider = kProvider);

  // Configure: given the request's account key ("account3"), that account is
  // the one found, not the first one with the address. 0 written; 5 an
  // account with this address exists and overwrite is off; 7 no default
  // profile was found, or a settings file could not be read, was refused
  // (read-only, UTF-16) or could not be saved. Unless it returns 0, every
  // file is as it was: what this run created is removed again, and no
  // temporary file is left.

 private:
  struct Created {
    std::string path;
    bool folder;
  };

  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override;
  StepResult Add() override;
  StepResult Save() override;
  std::vector<std::string> Report() override { return written_; }
  void TakeBack() override;

  StepResult LocateProfile(const std::string& app_data);
  StepResult ChooseProfile(const std::string& thunderbird, DefaultProfile* chosen);
  StepResult CreateProfileList(const std::string& thunderbird);
  StepResult MakeFolder(const std::string& path);
  StepResult SaveNew(const std::string& path, const std::string& temp_path, const std::vector<std::string>& lines);

  std::string program_;
  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  Clock& clock_;
  ProviderSettings provider_;
  ThunderbirdAccounts accounts_;
  ThunderbirdPrefs prefs_;
  std::vector<Created> created_;  // in the order this run created them

  std::string prefs_path_;
  std::string temp_path_;
  bool no_prefs_ = false;     // the profile had no prefs.js
  std::string bytes_;         // its prefs.js as read
  std::optional<ParsedPrefs> parsed_;
  PrefNumbers numbers_;
  SaveProducer produce_;
  PrefLines written_;         // the lines put into the file, for the report
};

}  // namespace pw
