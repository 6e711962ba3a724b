#include "clients/registry/OutlookProfileStore.h"

#include <cstdio>

#include "clients/registry/OutlookProfiles.h"
#include "platform/Text.h"

namespace pw {

const char kNextAccountId[] = "NextAccountID";
const char kAccountOrder[] = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
const char kLastChangeVer[] = "LastChangeVer";

std::string ProfileAccountStorePath(const std::string& profile) {
  return std::string(kMapiProfilesKey) + "\\" + profile + "\\9375CFF0413111d3B88A00104B2A6676\\";
}

std::string AccountKeyName(uint32_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(number));
  return name;
}

uint32_t StoredNumber(const std::string& bytes) {
  uint32_t number = 0;
  for (size_t i = bytes.size() < 4 ? bytes.size() : 4; i > 0; --i)
    number = (number << 8) | static_cast<unsigned char>(bytes[i - 1]);
  return number;
}

uint32_t AccountNumber(const std::string& key_name) {
  uint32_t number = 0;
  for (char c : key_name) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    number = number * 16 + static_cast<uint32_t>(digit);
  }
  return number;
}

std::string ProfileTextBytes(const std::string& text) { return Utf16LeBytes(WidenBytes(text) + u'\0'); }

std::string ProfileText(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i + 1 < bytes.size() && bytes[i] != '\0'; i += 2) text += bytes[i];
  return text;
}

std::string ReadProfileText(RegKey& key, const std::string& name) {
  RegValue value;
  std::u16string units;
  if (key.QueryValue(name, &value) != err::kSuccess || value.type != regtype::kBinary ||
      !ReadUtf16Le(value.data, &units))
    return std::string();
  std::string text;
  for (char16_t unit : units) {
    if (unit == 0) break;
    if (unit > 0xFF) return std::string();  // not text this program wrote or can write back
    text += static_cast<char>(unit);
  }
  return text;
}

}  // namespace pw
