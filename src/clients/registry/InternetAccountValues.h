// The values of an Internet mail account key: the set Outlook Express keeps in
// each of its account keys, and Outlook 2000 in its own keys of the same shape.
// A writer takes the set, adjusts what its client does differently, lists it in
// the run log and writes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace pw {

// Value names the writers and the lookups read as well as write.
extern const char kSmtpEmailAddress[];
extern const char kSmtpDisplayName[];
// The account manager's value naming the default account's key.
extern const char kDefaultMailAccount[];

// Names the default account in `manager_key` (below HKEY_CURRENT_USER, made
// when missing): the value "Default Mail Account" is deleted and set anew to
// `name`, a REG_SZ without its NUL.
Status WriteDefaultMailAccount(Registry& registry, const std::string& manager_key, const std::string& name);

struct AccountValue {
  std::string name;     // the registry value name, also the label of its log line
  uint32_t type;        // a regtype
  std::string data;     // the bytes stored
  std::string shown;    // what the log line shows after the label
  bool listed = true;   // false: written but left out of the log
};

using AccountValues = std::vector<AccountValue>;

// 4 bytes, little-endian; shown in decimal.
AccountValue DwordAccountValue(const std::string& name, uint32_t value);
// Text taken from the request: stored without a terminating NUL.
AccountValue RequestTextValue(const std::string& name, const std::string& text);
// A server name: stored with its terminating NUL.
AccountValue ServerNameValue(const std::string& name, const std::string& host);

// The twenty values in the order they are written, for an account key named
// `account_name` that serves `address`.
AccountValues InternetAccountValues(const std::string& account_name, const std::string& address,
                                    const std::string& display_name);

// The value called `name`, or nullptr.
AccountValue* FindAccountValue(AccountValues& values, const std::string& name);
std::vector<std::string> AccountValueNames(const AccountValues& values);

// One "Name: shown" line per listed value, as the run log reports them.
std::vector<std::string> AccountValueLines(const AccountValues& values);
// Writes the values in order; stops at and returns the first failure.
Status WriteAccountValues(RegKey& key, const AccountValues& values);

}  // namespace pw
