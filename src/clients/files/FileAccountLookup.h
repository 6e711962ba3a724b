// What the lookups of the clients that keep their accounts in settings files
// share: an account is found by its key in the client's own order, and its
// address, display name and incoming server are texts of its settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "clients/AccountLookup.h"

namespace pw {

class FileAccountLookup : public AccountLookup {
 public:
  std::optional<std::string> GetDefAcct() final { return DefaultAccount(); }
  // The first account, in the client's order, whose address contains `text`.
  std::optional<std::string> FindAcctByText(const std::string& text) final;
  // An empty address is none: it can be neither found nor rewritten.
  std::optional<std::string> GetAcctAddr(const std::optional<std::string>& account_key) final;
  std::optional<std::string> GetAcctDisplayName(const std::optional<std::string>& account_key) final;
  std::optional<std::string> GetAcctIncomingServer(const std::optional<std::string>& account_key) final;

 protected:
  enum class Field { kAddress, kDisplayName, kIncomingServer };

  virtual std::optional<std::string> DefaultAccount() = 0;
  // The accounts' keys in the client's order.
  virtual std::vector<std::string> Accounts() = 0;
  // None when the account is not there, or has no such setting.
  virtual std::optional<std::string> Text(const std::string& account_key, Field field) = 0;

 private:
  std::optional<std::string> TextOf(const std::optional<std::string>& account_key, Field field);
};

}  // namespace pw
