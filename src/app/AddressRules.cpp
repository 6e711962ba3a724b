#include "app/AddressRules.h"

#include "platform/Text.h"

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

bool IsProvidersAccount(const std::string& address, const std::optional<std::string>& incoming_host,
                        const ProviderSettings& provider) {
  const std::string mail_domain = AsciiLower(provider.mail_domain);  // "@" and the domain
  const std::string lower_address = AsciiLower(address);
  if (lower_address.size() > mail_domain.size() && EndsWith(lower_address, mail_domain)) return true;
  const std::string pop3_host = AsciiLower(provider.pop3_host);
  const size_t first_dot = pop3_host.find('.');
  if (!incoming_host || first_dot == std::string::npos) return false;
  const std::string domain = pop3_host.substr(first_dot + 1);
  const std::string host = AsciiLower(*incoming_host);
  return host == domain || (host.size() > domain.size() + 1 && EndsWith(host, "." + domain));
}

}  // namespace pw
