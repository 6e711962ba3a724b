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
#include <vector>

#include "clients/files/FileAccountLookup.h"
#include "clients/files/PrefLine.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class ThunderbirdAccountLookup : public FileAccountLookup {
 public:
  // The files are read once, when first needed; nothing is created.
  ThunderbirdAccountLookup(Registry& registry, FileSystem& files, Environment& environment)
      : registry_(registry), files_(files), environment_(environment) {}

 private:
  using Prefs = std::map<std::string, Pref>;

  // The default account, when it is one of the list: Thunderbird loads only those.
  std::optional<std::string> DefaultAccount() override;
  std::vector<std::string> Accounts() override;
  // The first identity's useremail and fullName, and the server's hostname;
  // none for an account that is not listed, or has no server or no identity.
  std::optional<std::string> Text(const std::string& account_key, Field field) override;
  const Prefs& Preferences();
  std::optional<std::string> StringPref(const std::string& name);

  Registry& registry_;
  FileSystem& files_;
  Environment& environment_;
  bool read_ = false;
  Prefs prefs_;  // by name, the last line of each: the one Thunderbird keeps
};

}  // namespace pw
