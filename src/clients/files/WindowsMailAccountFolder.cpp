#include "clients/files/WindowsMailAccountFolder.h"

#include <vector>

#include "clients/files/WindowsMailAccountFile.h"
#include "platform/Text.h"

namespace pw {

namespace {

const char kWindowsMailKey[] = "Software\\Microsoft\\Windows Mail";
const char kStoreRoot[] = "Store Root";
const char kProfileVariable[] = "%USERPROFILE%";

}  // namespace

// "Store Root" names the message store; Windows Mail writes it on its first
// start, with "%USERPROFILE%" standing for the user's profile folder.
AccountFolderState FindWindowsMailAccountFolder(Registry& registry, Environment& environment, std::string* folder) {
  RegKeyPtr key;
  RegValue store_root;
  if (registry.OpenKey(RegRoot::kCurrentUser, kWindowsMailKey, RegAccess::kRead, &key) != err::kSuccess ||
      key->QueryValue(kStoreRoot, &store_root) != err::kSuccess || RegText(store_root).empty())
    return AccountFolderState::kNoStore;
  // Windows Mail's own value ends with a backslash; one without it is taken as it stands.
  *folder = RegText(store_root) + "Local Folders";
  const size_t variable = folder->find(kProfileVariable);
  if (variable == std::string::npos) return AccountFolderState::kFound;
  std::string profile;
  if (!environment.Variable("USERPROFILE", &profile) || profile.empty()) return AccountFolderState::kNoProfileVariable;
  folder->replace(variable, sizeof kProfileVariable - 1, profile);
  return AccountFolderState::kFound;
}

bool IsWindowsMailAccountFileName(const std::string& name) {
  const std::string prefix = "account";
  const std::string extension = ".oeaccount";
  return name.size() >= prefix.size() + extension.size() && EqualsNoCase(name.substr(0, prefix.size()), prefix) &&
         EqualsNoCase(name.substr(name.size() - extension.size()), extension) &&
         name.find_first_of("\\/:") == std::string::npos;
}

bool AccountFileHoldsAddress(FileSystem& files, const std::string& path, const std::string& address) {
  std::string bytes;
  std::u16string text;
  if (files.ReadAll(path, &bytes) != err::kSuccess || !ReadUtf16Le(bytes, &text)) return false;
  return WindowsMailAccountFile::HoldsAddress(text, address);
}

std::optional<std::string> FindAccountFile(FileSystem& files, RunLog& log, const std::string& folder,
                                           const std::string& address) {
  const std::string pattern = folder + "\\account*";
  log.Line(pattern);
  std::vector<std::string> names;
  const Status s = files.List(pattern, &names);
  // No match, or no folder: no account yet.
  if (IsMissing(s)) return std::nullopt;
  if (s) {
    log.Line("FindNextFile error. Error is :" + std::to_string(s));
    return std::nullopt;
  }
  for (const std::string& name : names) {
    if (!IsWindowsMailAccountFileName(name)) continue;
    const std::string path = folder + "\\" + name;
    if (AccountFileHoldsAddress(files, path, address)) return path;
  }
  return std::nullopt;
}

}  // namespace pw
