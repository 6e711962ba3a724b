// Puts one POP3/SMTP account into Windows Mail: finds the account file that
// holds the address in the "Local Folders" folder of the user's message
// store, then rewrites it or writes a new one, and makes the account the
// default when asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/ProviderSettings.h"
#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class WindowsMailAccountWriter : public ConfigureSkeleton {
 public:
  // Nothing is read or written here.
  WindowsMailAccountWriter(const AccountRequest& request, Registry& registry, FileSystem& files,
                           Environment& environment, Clock& clock, UuidSource& uuids, RunLog& log,
                           const ProviderSettings& provider = kProvider);

  // Configure: given the request's account key (the name of an account
  // file), that file is the account found, not the first one holding the
  // address. 0 written; 3 Windows Mail has no message store yet (never
  // started); 5 an account file holds the address and overwrite is off; 7 the
  // store's folder names an unset USERPROFILE, or the account file could not
  // be read, was refused (read-only, no well-formed account) or could not be
  // saved, or the account could not be made the default. Unless it returns
  // 0, every file and the default account are as they were, and no temporary
  // file is left.

 private:
  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override;
  StepResult Add() override;
  StepResult Save() override;
  std::vector<std::string> Report() override;

  StepResult MakeDefault();
  // The lines that say what could not be put back, when anything could not.
  std::vector<std::string> TakeBackFile();

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  Clock& clock_;
  UuidSource& uuids_;
  ProviderSettings provider_;

  std::string folder_;
  std::optional<std::string> found_;  // the account file's path
  struct Target {
    std::string path;
    std::string name;      // the file's name in the folder
    bool existed = false;
    std::string original;  // the bytes of an existing file
  } target_;
  std::u16string content_;  // the file's new text
};

}  // namespace pw
