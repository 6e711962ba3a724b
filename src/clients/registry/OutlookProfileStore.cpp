#include "clients/registry/OutlookProfileStore.h"

#include <cstdio>
#include <optional>

#include "clients/registry/OutlookProfiles.h"
#include "platform/Text.h"

namespace pw {

const char kNextAccountId[] = "NextAccountID";
const char kAccountOrder[] = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
const char kLastChangeVer[] = "LastChangeVer";

std::string ProfileAccountStorePath(const OutlookProfileKeys& keys, const std::string& profile) {
  return keys.profiles + "\\" + profile + "\\9375CFF0413111d3B88A00104B2A6676\\";
}

std::string AccountKeyName(uint32_t number) {
  char name[16];
  std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(number));
  return name;
}

uint32_t StoredNumber(const std::string& bytes) { return static_cast<uint32_t>(LittleEndianNumber(bytes, 4)); }

uint32_t AccountNumber(const std::string& key_name) {
  uint32_t number = 0;
  for (char c : key_name) {
    const int digit = HexDigitValue(static_cast<unsigned char>(c));
    if (digit < 0) break;
    number = number * 16 + static_cast<uint32_t>(digit);
  }
  return number;
}

std::string ProfileTextBytes(const std::string& text) { return Utf16LeBytes(Utf8ToUtf16(text) + u'\0'); }

namespace {

// The units up to the first zero; none for an odd number of bytes.
std::optional<std::u16string> StoredUnits(const std::string& bytes) {
  std::u16string units;
  if (!ReadUtf16Le(bytes, &units)) return std::nullopt;
  return units.substr(0, units.find(u'\0'));
}

char16_t FoldCase(char16_t unit) {
  const bool upper_ascii = unit >= u'A' && unit <= u'Z';
  const bool upper_latin1 = unit >= 0xC0 && unit <= 0xDE && unit != 0xD7;
  return upper_ascii || upper_latin1 ? static_cast<char16_t>(unit + 0x20) : unit;
}

}  // namespace

bool SameProfileText(const std::string& stored, const std::string& text) {
  const std::optional<std::u16string> a = StoredUnits(stored);
  const std::optional<std::u16string> b = StoredUnits(ProfileTextBytes(text));
  if (!a || !b || a->size() != b->size()) return false;
  for (size_t i = 0; i < a->size(); ++i)
    if (FoldCase((*a)[i]) != FoldCase((*b)[i])) return false;
  return true;
}

std::string ReadProfileText(RegKey& key, const std::string& name) {
  RegValue value;
  if (key.QueryValue(name, &value) != err::kSuccess || value.type != regtype::kBinary) return std::string();
  const std::optional<std::u16string> units = StoredUnits(value.data);
  return units ? Utf16ToUtf8(*units) : std::string();
}

}  // namespace pw
