// Where Windows Mail keeps its accounts: one UTF-16 XML file per account,
// "account{GUID}.oeaccount", in the "Local Folders" folder of the message
// store that HKCU "Software\Microsoft\Windows Mail" "Store Root" names.
#pragma once

#include <optional>
#include <string>

#include "app/RunLog.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// kNoStore until Windows Mail has been started once; kNoProfileVariable when
// the value uses an unset %USERPROFILE% (`folder` then holds the value's text).
enum class AccountFolderState { kFound, kNoStore, kNoProfileVariable };
AccountFolderState FindWindowsMailAccountFolder(Registry& registry, Environment& environment, std::string* folder);

// Only "account*.oeaccount" files are accounts (letter case ignored): a
// ".oeaccount.tmp" left by a run that was cut off is none, and a name with a
// path in it would lead out of the folder.
bool IsWindowsMailAccountFileName(const std::string& name);

// Whether the UTF-16 file at `path` is the account of `address`, spelt
// exactly so. False for anything that cannot be read as UTF-16.
bool AccountFileHoldsAddress(FileSystem& files, const std::string& path, const std::string& address);

// The path of the first account file of `folder` (in listing order) that
// holds `address`; none when no file does. Logs the search pattern, ending the
// line the caller began, and a listing that fails.
std::optional<std::string> FindAccountFile(FileSystem& files, RunLog& log, const std::string& folder,
                                           const std::string& address);

}  // namespace pw
