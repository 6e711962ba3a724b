// Finds the Outlook Express account that automatic mode rewrites: the default
// mail account, or the first whose address contains a search text.
#pragma once

#include <optional>
#include <string>

#include "app/RunLog.h"
#include "clients/AccountLookup.h"
#include "platform/Registry.h"

namespace pw {

class OutlookExpressAccountLookup : public AccountLookup {
 public:
  OutlookExpressAccountLookup(Registry& registry, RunLog& log) : registry_(registry), log_(log) {}

  std::optional<std::string> GetDefAcct() override;
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  // The account's key, opened for reading: 2 (not found) when there is no key name.
  Status OpenAccount(const std::optional<std::string>& account_key, RegKeyPtr* key);

  Registry& registry_;
  RunLog& log_;
};

}  // namespace pw
