#include "platform/win32/Win32RegKey.h"

#include <vector>

namespace pw {

namespace {

// A value that keeps changing size under us would otherwise be chased forever.
constexpr int kMaxReadAttempts = 16;

}  // namespace

Win32RegKey::~Win32RegKey() { RegCloseKey(key_); }

Status Win32RegKey::QueryValue(const std::string& name, RegValue* out) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return status;
  // The value may grow between asking its size and reading it: grow and retry.
  for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
    // Never a null buffer: with one the call would only report the size again.
    std::vector<char> buffer(size > 0 ? size : 1);
    DWORD got = static_cast<DWORD>(buffer.size());
    status = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_MORE_DATA) {
      size = got > buffer.size() ? got : static_cast<DWORD>(buffer.size() * 2);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    if (got > buffer.size()) return ERROR_MORE_DATA;  // never read past what we own
    out->type = type;
    out->data.assign(buffer.data(), got);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

Status Win32RegKey::SetValue(const std::string& name, uint32_t type, const std::string& data) {
  // Windows counts in a string's terminating NUL when the caller left it out
  // but the byte after the data is NUL, as it always is in a std::string. A
  // copy followed by a non-NUL byte stores exactly the bytes we were given.
  std::vector<char> bytes(data.begin(), data.end());
  bytes.push_back('\x01');
  return RegSetValueExA(key_, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(data.size()));
}

Status Win32RegKey::DeleteValue(const std::string& name) { return RegDeleteValueA(key_, name.c_str()); }

Status Win32RegKey::EnumSubkey(uint32_t index, std::string* name) {
  DWORD longest = 0;
  LONG status = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  // The longest name is counted in characters; an ANSI name may take more bytes, so grow on 234.
  std::vector<char> buffer(longest + 1 > 256 ? longest + 1 : 256);
  for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
    DWORD length = static_cast<DWORD>(buffer.size());
    status = RegEnumKeyExA(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    if (length >= buffer.size()) return ERROR_MORE_DATA;
    name->assign(buffer.data(), length);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

Status Win32RegKey::CountSubkeys(uint32_t* count) {
  DWORD subkeys = 0;
  LONG status = RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  *count = subkeys;
  return ERROR_SUCCESS;
}

}  // namespace pw
