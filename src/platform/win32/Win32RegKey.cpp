#include "platform/win32/Win32RegKey.h"

#include "platform/Text.h"
#include "platform/win32/Win32Io.h"

namespace pw {

namespace {

// The registry keeps text as UTF-16; the seam gives and takes it as UTF-8.
// Every other type is bytes either way.
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::string TextFromUtf16Bytes(const std::string& bytes) {
  // A value of an odd length keeps its last byte as the low half of a unit.
  std::string even = bytes;
  if (even.size() % 2 != 0) even += '\0';
  std::u16string units;
  ReadUtf16Le(even, &units);
  return Utf16ToUtf8(units);
}

}  // namespace

Win32RegKey::~Win32RegKey() { RegCloseKey(key_); }

Status Win32RegKey::QueryValue(const std::string& name, RegValue* out) {
  const std::wstring wide_name = Wide(name);
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (const LONG status = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size))
    return StatusOf(status);
  // The value may grow between asking its size and reading it.
  std::string data;
  const Status status = ReadGrowing(
      size,
      [&](char* buffer, DWORD, DWORD* length) {
        return StatusOf(
            RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), length));
      },
      &data);
  if (status != err::kSuccess) return status;
  out->type = type;
  out->data = IsText(type) ? TextFromUtf16Bytes(data) : data;
  return err::kSuccess;
}

Status Win32RegKey::SetValue(const std::string& name, uint32_t type, const std::string& data) {
  // Windows counts in a string's terminating NUL when the caller left it out
  // but the bytes after the data are NUL. A copy followed by non-NUL bytes
  // stores exactly the bytes we were given.
  const std::string stored = IsText(type) ? Utf16LeBytes(Utf8ToUtf16(data)) : data;
  std::vector<char> bytes(stored.begin(), stored.end());
  bytes.push_back('\x01');
  bytes.push_back('\x01');
  return StatusOf(RegSetValueExW(key_, Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(stored.size())));
}

Status Win32RegKey::DeleteValue(const std::string& name) {
  return StatusOf(RegDeleteValueW(key_, Wide(name).c_str()));
}

Status Win32RegKey::EnumSubkey(uint32_t index, std::string* name) {
  DWORD longest = 0;
  if (const LONG status = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, &longest, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr))
    return StatusOf(status);
  // The longest name is counted in characters without its NUL; a key added
  // meanwhile may be longer, so the buffer grows on "more data".
  DWORD room = longest + 1 > 256 ? longest + 1 : 256;
  constexpr int kMaxAttempts = 16;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt, room *= 2) {
    std::vector<wchar_t> buffer(room);
    DWORD length = room;
    const LONG status = RegEnumKeyExW(key_, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return StatusOf(status);
    // A name that fills the buffer has lost its NUL: ask for more room.
    if (length >= room) continue;
    *name = Narrow(buffer.data(), length);
    return err::kSuccess;
  }
  return err::kMoreData;
}

Status Win32RegKey::CountSubkeys(uint32_t* count) {
  DWORD subkeys = 0;
  if (const LONG status = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr))
    return StatusOf(status);
  *count = subkeys;
  return err::kSuccess;
}

Status Win32RegKey::CountValues(uint32_t* count) {
  DWORD values = 0;
  if (const LONG status = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                           nullptr, nullptr, nullptr, nullptr))
    return StatusOf(status);
  *count = values;
  return err::kSuccess;
}

}  // namespace pw
