// How automatic mode finds the account it rewrites: the client's default
// account, or the first whose address contains a search text, and that
// account's address, display name and incoming server.
#pragma once

#include <optional>
#include <string>

namespace pw {

class AccountLookup {
 public:
  virtual ~AccountLookup() = default;
  // The key of the client's default mail account; none when it has none.
  virtual std::optional<std::string> GetDefAcct() = 0;
  // The key of the first account whose address contains `text` (letter case
  // counts).
  virtual std::optional<std::string> FindAcctByText(const std::string& text) = 0;
  // None when the account is not there (no key is one that is not there).
  virtual std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) = 0;
  virtual std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) = 0;
  // The host name of the account's incoming server; none when the account
  // names none, or the lookup does not read it.
  virtual std::optional<std::string> GetAcctIncomingServer(const std::optional<std::string>& account_key) {
    static_cast<void>(account_key);
    return std::nullopt;
  }
};

}  // namespace pw
