#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include "platform/win32/Win32Io.h"
#include "platform/win32/Win32RegKey.h"

namespace pw {

namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
  }
  return HKEY_CURRENT_USER;
}

REGSAM Rights(RegAccess access) { return access == RegAccess::kAllAccess ? KEY_ALL_ACCESS : KEY_READ; }

}  // namespace

Status Win32Registry::OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  HKEY key = nullptr;
  if (const LONG status = RegOpenKeyExW(RootKey(root), Wide(path).c_str(), 0, Rights(access), &key))
    return StatusOf(status);
  *out = std::make_unique<Win32RegKey>(key);
  return err::kSuccess;
}

Status Win32Registry::CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (const LONG status = RegCreateKeyExW(RootKey(root), Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         Rights(access), nullptr, &key, &disposition))
    return StatusOf(status);
  *out = std::make_unique<Win32RegKey>(key);
  return err::kSuccess;
}

Status Win32Registry::DeleteKey(RegRoot root, const std::string& path) {
  // An empty name would make RegDeleteKeyW remove the key it is given: never a root.
  if (path.find_first_not_of('\\') == std::string::npos) return err::kAccessDenied;
  return StatusOf(RegDeleteKeyW(RootKey(root), Wide(path).c_str()));
}

}  // namespace pw
