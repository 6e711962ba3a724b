// Puts one POP3/SMTP account into Windows Mail: finds the account file that
// holds the address in the "Local Folders" folder of the user's message
// store, then rewrites it or writes a new one, and makes the account the
// default when asked.
#pragma once

#include <optional>
#include <string>

#include "app/ProviderSettings.h"
#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// Where Windows Mail keeps its account files: the "Local Folders" folder of
// the message store that HKCU "Software\Microsoft\Windows Mail" "Store Root"
// names. kNoStore until Windows Mail has been started once;
// kNoProfileVariable when the value uses an unset %USERPROFILE%.
enum class AccountFolderState { kFound, kNoStore, kNoProfileVariable };
AccountFolderState FindWindowsMailAccountFolder(Registry& registry, Environment& environment, std::string* folder);
// Only "account*.oeaccount" files are accounts (letter case ignored): a
// ".oeaccount.tmp" left by a run that was cut off is none, and a name with a
// path in it would lead out of the folder.
bool IsWindowsMailAccountFileName(const std::string& name);

class WindowsMailAccountWriter : public AccountWriter {
 public:
  // Nothing is read or written here.
  WindowsMailAccountWriter(const AccountRequest& request, Registry& registry, FileSystem& files,
                           Environment& environment, Clock& clock, UuidSource& uuids, RunLog& log,
                           const ProviderSettings& provider = kProvider);

  // Given the request's account key (the name of an account file), that file
  // is the account found, not the first one holding the address.
  // 0 written; 3 Windows Mail has no message store yet (never started);
  // 5 an account file holds the address and overwrite is off; 7 the store's
  // folder names an unset USERPROFILE, or the account file could not be read,
  // was refused (read-only, no well-formed account) or could not be saved, or
  // the account could not be made the default. Unless it returns 0, every
  // file and the default account are as they were, and no temporary file is
  // left.
  ConfigureResult Configure() override;

  // The path of the first entry of `folder` whose name begins with "account"
  // and ends with ".oeaccount" (letter case ignored, in listing order) that
  // holds the address; none when no entry does. Logs the search pattern, ending the line the caller began.
  std::optional<std::string> FindAccountFile(const std::string& folder, const std::string& address);
  // Automatic mode's account: the file `name` of `folder` when it holds the
  // request's address (another file with the same address is not it). Logs
  // its path, ending the line the caller began.
  std::optional<std::string> FindNamedAccountFile(const std::string& folder, const std::string& name);
  // Whether the UTF-16 file at `path` is the account of the address, spelt
  // exactly so. False for anything that cannot be read as UTF-16.
  bool FileHoldsAddress(const std::string& path, const std::string& address);

 private:
  struct Target {
    std::string path;
    std::string name;       // the file's name in the folder
    bool existed = false;
    std::string original;   // the bytes of an existing file
  };

  bool FindAccountFolder(std::string* folder, ConfigureResult* failure);
  ConfigureResult WriteAccountFile(Target* target);
  bool ReadExisting(Target* target, std::u16string* text);
  ConfigureResult MakeDefault(const Target& target);
  void TakeBack(const Target& target);
  void LogReport();
  void LogFailure(const std::string& text);

  AccountRequest request_;
  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  Clock& clock_;
  UuidSource& uuids_;
  RunLog& log_;
  ProviderSettings provider_;
};

}  // namespace pw
