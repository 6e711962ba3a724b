// Outlook 2002 and later keep their Internet mail accounts inside a MAPI
// profile: below the profile's key, "9375CFF0413111d3B88A00104B2A6676" holds
// one key per account, named by the account's number, and the bookkeeping of
// the accounts. Texts there are UTF-16, in REG_BINARY values.
#pragma once

#include <cstdint>
#include <string>

#include "clients/registry/OutlookProfiles.h"
#include "platform/Registry.h"

namespace pw {

// Values of the account store. An account's place in the order is its number
// as 4 bytes, little-endian.
extern const char kNextAccountId[];  // REG_DWORD: the number a new account gets
extern const char kAccountOrder[];   // REG_BINARY: account numbers, 4 bytes each; the first is the default
extern const char kLastChangeVer[];  // REG_BINARY, 8 bytes: a change counter

// The account store of a profile among the profiles of `keys`, below
// HKEY_CURRENT_USER, with a trailing backslash.
std::string ProfileAccountStorePath(const OutlookProfileKeys& keys, const std::string& profile);

// Eight lower-case hexadecimal digits: 266 is "0000010a".
std::string AccountKeyName(uint32_t number);
// A number as the store keeps it (in "NextAccountID", in the account order):
// the first 4 bytes, little-endian. RegDwordBytes makes them.
uint32_t StoredNumber(const std::string& bytes);
// A key name read as hexadecimal, as far as it goes ("0000010a" is 266; no digits: 0).
uint32_t AccountNumber(const std::string& key_name);

// The text as UTF-16, low byte first, then one zero unit that ends it.
std::string ProfileTextBytes(const std::string& text);
// True when a stored text value holds `text` as ProfileTextBytes writes it, up
// to its first zero unit, letter case aside (ASCII and Latin-1 letters). The
// code units are compared whole: one above 0xFF never matches by its low byte.
bool SameProfileText(const std::string& stored, const std::string& text);
// A text value of an account, decoded; empty when it cannot be read or holds
// no such text (another type than REG_BINARY, an odd number of bytes).
std::string ReadProfileText(RegKey& key, const std::string& name);

}  // namespace pw
