#include "platform/win32/Win32RegKey.h"

#include "platform/win32/Win32Io.h"

namespace pw {

Win32RegKey::~Win32RegKey() { RegCloseKey(key_); }

Status Win32RegKey::QueryValue(const std::string& name, RegValue* out) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (const LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size))
    return StatusOf(status);
  // The value may grow between asking its size and reading it.
  std::string data;
  const Status status = ReadGrowing(
      size,
      [&](char* buffer, DWORD, DWORD* length) {
        return StatusOf(
            RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), length));
      },
      &data);
  if (status != err::kSuccess) return status;
  out->type = type;
  out->data.swap(data);
  return err::kSuccess;
}

Status Win32RegKey::SetValue(const std::string& name, uint32_t type, const std::string& data) {
  // Windows counts in a string's terminating NUL when the caller left it out
  // but the byte after the data is NUL, as it always is in a std::string. A
  // copy followed by a non-NUL byte stores exactly the bytes we were given.
  std::vector<char> bytes(data.begin(), data.end());
  bytes.push_back('\x01');
  return StatusOf(RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(data.size())));
}

Status Win32RegKey::DeleteValue(const std::string& name) { return StatusOf(RegDeleteValueA(key_, name.c_str())); }

Status Win32RegKey::EnumSubkey(uint32_t index, std::string* name) {
  DWORD longest = 0;
  if (const LONG status = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr))
    return StatusOf(status);
  // The longest name is counted in characters; an ANSI name may take more bytes.
  return ReadGrowing(
      longest + 1 > 256 ? longest + 1 : 256,
      [&](char* buffer, DWORD size, DWORD* length) {
        const LONG status = RegEnumKeyExA(key_, index, buffer, length, nullptr, nullptr, nullptr, nullptr);
        // A name that fills the buffer has lost its NUL: ask for more room.
        if (status == ERROR_SUCCESS && *length >= size) return err::kMoreData;
        return StatusOf(status);
      },
      name);
}

Status Win32RegKey::CountSubkeys(uint32_t* count) {
  DWORD subkeys = 0;
  if (const LONG status = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr))
    return StatusOf(status);
  *count = subkeys;
  return err::kSuccess;
}

}  // namespace pw
