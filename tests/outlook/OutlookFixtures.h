// What Postwright writes into Outlook for an account with the provider's
// servers pop.quillset.example and smtp.quillset.example: each value of the
// account key (name, registry type, bytes) in the order it is written, and the
// settings block of the run log. Plain data, so the unit tests and the Wine
// tests share them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pw {
namespace fixtures {

// The lines, each ended with CR LF as the run log ends them.
inline std::string CrlfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// Registry value types as Windows numbers them.
constexpr uint32_t kSz = 1;
constexpr uint32_t kBinary = 3;
constexpr uint32_t kDword = 4;

struct StoredValue {
  std::string name;
  uint32_t type;
  std::string bytes;
};

inline std::string Dword(uint32_t v) {
  return std::string{static_cast<char>(v & 0xff), static_cast<char>((v >> 8) & 0xff),
                     static_cast<char>((v >> 16) & 0xff), static_cast<char>((v >> 24) & 0xff)};
}

// Each byte a 16-bit code unit, then a zero unit.
inline std::string Utf16(const std::string& text) {
  std::string bytes;
  for (char c : text) bytes += std::string{c, '\0'};
  return bytes + std::string(2, '\0');
}

// Outlook 2000's account key: Outlook Express's twenty values, the connection
// flags after the name, and a prompt for the POP3 password. Texts from the
// request have no NUL, server names have one.
inline std::vector<StoredValue> Outlook2000Values(const std::string& account_name, const std::string& address,
                                                  const std::string& display_name) {
  return {{"Account Name", kSz, account_name},          {"Connection Flags", kDword, Dword(0)},
          {"Connection Type", kDword, Dword(3)},         {"Leave Mail On Server", kDword, Dword(0)},
          {"POP3 Port", kDword, Dword(995)},             {"POP3 Prompt for Password", kDword, Dword(1)},
          {"POP3 Secure Connection", kDword, Dword(1)},  {"POP3 Server", kSz, std::string("pop.quillset.example", 21)},
          {"POP3 Skip Account", kDword, Dword(0)},       {"POP3 Timeout", kDword, Dword(60)},
          {"POP3 User Name", kSz, address},              {"SMTP Display Name", kSz, display_name},
          {"SMTP Email Address", kSz, address},          {"SMTP Port", kDword, Dword(465)},
          {"SMTP Prompt for Password", kDword, Dword(1)}, {"SMTP Secure Connection", kDword, Dword(1)},
          {"SMTP Server", kSz, std::string("smtp.quillset.example", 22)}, {"SMTP Split Messages", kDword, Dword(0)},
          {"SMTP Timeout", kDword, Dword(60)},           {"SMTP Use Sicily", kDword, Dword(2)},
          {"SMTP User Name", kSz, address}};
}

// From the heading to the blank line after the values; the connection flags
// are not listed.
inline std::vector<std::string> Outlook2000Settings(const std::string& account_name, const std::string& address,
                                                    const std::string& display_name) {
  return {"The following settings were written/overwritten in the system registry:", "",
          "Account Name: " + account_name, "Connection Type: 3", "Leave Mail On Server: 0", "POP3 Port: 995",
          "POP3 Prompt for Password: 1", "POP3 Secure Connection: 1", "POP3 Server: pop.quillset.example",
          "POP3 Skip Account: 0", "POP3 Timeout: 60", "POP3 User Name: " + address,
          "SMTP Display Name: " + display_name, "SMTP Email Address: " + address, "SMTP Port: 465",
          "SMTP Prompt for Password: 1", "SMTP Secure Connection: 1", "SMTP Server: smtp.quillset.example",
          "SMTP Split Messages: 0", "SMTP Timeout: 60", "SMTP Use Sicily: 2", "SMTP User Name: " + address, ""};
}

// Outlook 2002 and later: the thirteen values, texts in UTF-16.
inline std::vector<StoredValue> ProfileAccountValues(const std::string& account_name, const std::string& address,
                                                     const std::string& display_name) {
  return {{"Account Name", kBinary, Utf16(account_name)},
          {"clsid", kSz, std::string("{ED475411-B0D6-11D2-8C3B-00104B2A6676}", 39)},
          {"Display Name", kBinary, Utf16(display_name)},      {"Email", kBinary, Utf16(address)},
          {"Leave on Server", kDword, Dword(0)},               {"POP3 Port", kDword, Dword(995)},
          {"POP3 Server", kBinary, Utf16("pop.quillset.example")}, {"POP3 Use SSL", kDword, Dword(1)},
          {"POP3 User", kBinary, Utf16(address)},              {"SMTP Port", kDword, Dword(465)},
          {"SMTP Use Auth", kDword, Dword(1)},                 {"SMTP Server", kBinary, Utf16("smtp.quillset.example")},
          {"SMTP Use SSL", kDword, Dword(1)}};
}

// From the blank line before the heading to the blank line after the values;
// "SMTP Use Auth" is not listed.
inline std::vector<std::string> ProfileSettings(const std::string& account_name, const std::string& address,
                                                const std::string& display_name) {
  return {"", "The following settings were written/overwritten in the system registry:", "",
          "Account Name: " + account_name, "clsid: {ED475411-B0D6-11D2-8C3B-00104B2A6676}",
          "Display Name: " + display_name, "Email: " + address, "Leave on Server: 0", "POP3 Port: 995",
          "POP3 Server: pop.quillset.example", "POP3 Use SSL: 1", "POP3 User: " + address, "SMTP Port: 465",
          "SMTP Server: smtp.quillset.example", "SMTP Use SSL: 1", ""};
}

}  // namespace fixtures
}  // namespace pw
