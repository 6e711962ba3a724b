// Internet accounts kept the way Outlook Express keeps them: one key per
// account below an account root, and the default account named by "Default
// Mail Account" in the account manager key. Outlook 2000 keeps keys of the
// same shape under paths of its own. The writers of both share the search and
// the saving here.
#pragma once

#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/ConfigureResult.h"
#include "clients/registry/InternetAccountValues.h"
#include "platform/Registry.h"

namespace pw {

// Below HKEY_CURRENT_USER; both paths end in a backslash.
struct InternetAccountKeys {
  const char* account_root;     // one subkey per account
  const char* account_manager;  // holds "Default Mail Account"

  std::string AccountKeyPath(const std::string& key_name) const { return account_root + key_name + "\\"; }
};

extern const InternetAccountKeys kOutlookExpressAccounts;
// Outlook 2000's "OMI Account Manager".
extern const InternetAccountKeys kOutlookAccounts;

class InternetAccountStore {
 public:
  // The account a run writes: one that exists, or the key a new one gets.
  struct Account {
    bool exists = false;
    std::string key_path;
    std::string key_name;  // as the registry spells an existing key
  };

  InternetAccountStore(const InternetAccountKeys& keys, Registry& registry, RunLog& log)
      : keys_(keys), registry_(registry), log_(log) {}

  // The account root's keys, opened for writing; a key whose name cannot be
  // read is left out. The open's or the count's failure: 2 when there is no root.
  Status ListAccounts(std::vector<std::string>* accounts);
  // The first account, in registry order, whose "SMTP Email Address" is
  // `address`, letter case and all; with `list_each`, every account looked at
  // is logged with its address. Registry key names ignore case, so a key that
  // already carries the address as its name is that account too: "creating"
  // it would only open it and overwrite it. No match: a new key named after
  // the address.
  Account FindByAddress(const std::vector<std::string>& accounts, const std::string& address, bool list_each);
  // The account whose key is called `key_name`, compared as the registry
  // compares names; or a new key of that name.
  Account FindByName(const std::vector<std::string>& accounts, const std::string& key_name);
  // Writes the values into the account's key (made when missing) and, with
  // `make_default`, names that key the default account: the client finds its
  // default by key name. All or nothing: what this run wrote is undone when
  // a write fails.
  StepResult Save(const Account& account, const AccountValues& values, bool make_default);

 private:
  Status WriteAccount(const std::string& key_path, const AccountValues& values);

  const InternetAccountKeys& keys_;
  Registry& registry_;
  RunLog& log_;
};

}  // namespace pw
