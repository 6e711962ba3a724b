// Finds the Outlook 2002 (and later) account that automatic mode rewrites, in
// the account store of the default MAPI profile: the default account (the
// first of the account order), or the first whose address contains a search
// text. Nothing is logged.
#pragma once

#include <optional>
#include <string>

#include "clients/AccountLookup.h"
#include "clients/registry/OutlookProfiles.h"
#include "platform/Registry.h"

namespace pw {

class OutlookProfileAccountLookup : public AccountLookup {
 public:
  // The profiles of the Outlook version given (see ProfileKeysOf); without
  // one, those of Outlook 2002 to 2010.
  explicit OutlookProfileAccountLookup(Registry& registry)
      : OutlookProfileAccountLookup(kFirstOutlookWithOwnProfiles - 1, registry) {}
  OutlookProfileAccountLookup(int outlook_version, Registry& registry)
      : registry_(registry), keys_(ProfileKeysOf(outlook_version)) {}

  std::optional<std::string> GetDefAcct() override;
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  // The default profile's account store; none when no default profile is named.
  std::optional<std::string> StorePath();
  // A text value of the account, decoded.
  std::optional<std::string> AccountText(const std::optional<std::string>& account_key, const std::string& name);
  std::optional<std::string> StoredText(const std::string& store_path, const std::string& key_name,
                                        const std::string& name);

  Registry& registry_;
  OutlookProfileKeys keys_;
};

}  // namespace pw
