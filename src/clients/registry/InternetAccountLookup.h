// Finds the account automatic mode rewrites among Internet accounts kept the
// way Outlook Express keeps them (see InternetAccountStore): the default mail
// account, or the first whose address contains a search text.
#pragma once

#include <optional>
#include <string>

#include "app/RunLog.h"
#include "clients/AccountLookup.h"
#include "clients/registry/InternetAccountStore.h"
#include "platform/Registry.h"

namespace pw {

class InternetAccountLookup : public AccountLookup {
 public:
  // What the lookups of the default account and of an address log: their
  // result codes and results, or nothing.
  enum class Logging { kResults, kQuiet };

  InternetAccountLookup(const InternetAccountKeys& keys, Logging logging, Registry& registry, RunLog& log)
      : keys_(keys), logging_(logging), registry_(registry), log_(log) {}

  std::optional<std::string> GetDefAcct() override;
  std::optional<std::string> FindAcctByText(const std::string& text) override;
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) override;
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) override;

 private:
  // The account's key, opened for reading: 2 (not found) when there is no key name.
  Status OpenAccount(const std::optional<std::string>& account_key, RegKeyPtr* key);
  void LogResult(const std::string& line);

  const InternetAccountKeys& keys_;
  const Logging logging_;
  Registry& registry_;
  RunLog& log_;
};

}  // namespace pw
