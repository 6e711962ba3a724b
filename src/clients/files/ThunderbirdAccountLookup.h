// Finds a Thunderbird account for automatic mode in the prefs.js of the
// profile Thunderbird opens when started. "mail.accountmanager.defaultaccount"
// names the default account; the accounts are those of
// "mail.accountmanager.accounts", in its order. An account's address and
// display name are those of its first identity. An account's key is its
// name in the preferences ("account3").
#pragma once

#include <map>
#include <optional>
#include <string>

#include "clients/AccountLookup.h"
#include "clients/files/PrefLine.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class ThunderbirdAccountLookup : public AccountLookup {
 public:
  // The files are read once, when first needed; nothing is created.
  ThunderbirdAccountLookup(Registry& registry, FileSystem& files, Environment& environment);

  std::optional<std::string> GetDefAcct() override;
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  // The first identity's useremail; none for an account that is not listed,
  // has no server or no identity.
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  // The first identity's fullName.
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  using Prefs = std::map<std::string, Pref>;

  const Prefs& Preferences();
  std::optional<std::string> Text(const std::string& name);
  std::vector<std::string> Accounts();
  std::optional<std::string> IdentityText(const std::optional<std::string>& account_key, const char* suffix);

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  bool read_ = false;
  Prefs prefs_;  // by name, the last line of each: the one Thunderbird keeps
};

}  // namespace pw
