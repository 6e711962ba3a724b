#include "app/AddressRules.h"

namespace pw {

namespace {

bool IsControl(char c) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

// The first character of `text` that `refused` names, described.
std::optional<std::string> FirstRefused(const std::string& text, bool (*refused)(char)) {
  if (text.empty()) return std::string("is empty");
  for (char c : text) {
    if (!refused(c)) continue;
    switch (c) {
      case '@': return std::string("holds \"@\"");
      case '\\': return std::string("holds a backslash");
      case '/': return std::string("holds a slash");
      case '"': return std::string("holds a double quote");
      case ' ': return std::string("holds a blank");
      default: return std::string("holds a control character");
    }
  }
  return std::nullopt;
}

bool RefusedInUserName(char c) {
  return c == '@' || c == '\\' || c == '/' || c == '"' || c == ' ' || IsControl(c);
}

bool RefusedInStoredAddress(char c) { return c == '\\' || IsControl(c); }

// A prefix goes in front of a stored address, so it may hold what such an
// address may hold; it may also be empty.
bool RefusedInPrefix(char c) { return RefusedInStoredAddress(c); }

}  // namespace

std::optional<std::string> UserNameFault(const std::string& user_name) {
  return FirstRefused(user_name, RefusedInUserName);
}

std::optional<std::string> StoredAddressFault(const std::string& address) {
  return FirstRefused(address, RefusedInStoredAddress);
}

std::optional<std::string> PrefixFault(const std::string& prefix) {
  if (prefix.empty()) return std::nullopt;
  return FirstRefused(prefix, RefusedInPrefix);
}

}  // namespace pw
