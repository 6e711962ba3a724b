#include "platform/Registry.h"

#include "platform/Text.h"

namespace pw {

const char* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kCurrentUser: return "HKCU";
    case RegRoot::kLocalMachine: return "HKLM";
    case RegRoot::kClassesRoot: break;
  }
  return "HKCR";
}

std::string RegKeyPath(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path, "\\");
  return JoinPath(parts, parts.size());
}

std::string RegKeyIdentity(RegRoot root, const std::string& path) {
  return std::string(RootName(root)) + "\\" + UpperCaseText(RegKeyPath(path));
}

Status ListSubkeys(RegKey& key, std::vector<std::string>* names) {
  names->clear();
  uint32_t count = 0;
  if (Status status = key.CountSubkeys(&count)) return status;
  Status first = err::kSuccess;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    const Status status = key.EnumSubkey(i, &name);
    if (status == err::kSuccess)
      names->push_back(name);
    else if (first == err::kSuccess)
      first = status;
  }
  return first;
}

std::string RegText(const RegValue& value) {
  return value.data.substr(0, value.data.find('\0'));
}

std::string RegDwordBytes(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xff);
  return bytes;
}

std::string ReadRegText(RegKey& key, const std::string& name) {
  RegValue value;
  if (key.QueryValue(name, &value) != err::kSuccess) return std::string();
  return RegText(value);
}

std::string ReadRegString(RegKey& key, const std::string& name) {
  RegValue value;
  if (key.QueryValue(name, &value) != err::kSuccess) return std::string();
  if (value.type != regtype::kSz && value.type != regtype::kExpandSz) return std::string();
  return RegText(value);
}

bool ReadRegTextInBuffer(RegKey& key, const std::string& name, size_t buffer_bytes, std::string* text) {
  RegValue value;
  if (key.QueryValue(name, &value) != err::kSuccess) return false;
  // The buffer held one byte for each character of the code page; a name in
  // UTF-8 takes more bytes than that, so characters are counted.
  if (Utf8ToUtf16(value.data).size() > buffer_bytes) return false;
  *text = RegText(value);
  return true;
}

}  // namespace pw
