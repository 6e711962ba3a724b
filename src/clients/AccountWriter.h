// What every account writer shares: the request it is given, the result it
// returns, and the one operation it offers.
#pragma once

#include <string>

namespace pw {

// The client to configure; the index of the dialog's radio group.
using ClientKind = int;
namespace client {
constexpr ClientKind kOutlookExpress = 0;
constexpr ClientKind kOutlook = 1;
constexpr ClientKind kWindowsMail = 2;
constexpr ClientKind kEudora = 3;
constexpr ClientKind kThunderbird = 4;
}  // namespace client

struct AccountRequest {
  std::string address;       // user name and the provider's mail-domain suffix
  std::string display_name;
  bool make_default = false;
  bool overwrite = false;
};

// 0 success; 1 to 6 failures whose meaning depends on the client; 7 the
// settings could not be saved; -1 no writer ran.
using ConfigureResult = int;
namespace result {
constexpr ConfigureResult kConfigured = 0;
constexpr ConfigureResult kAlreadyExists = 5;
constexpr ConfigureResult kIdenticalAutomatic = 6;
constexpr ConfigureResult kSaveFailed = 7;
constexpr ConfigureResult kNoWriter = -1;
}  // namespace result

// What a failed lookup returns.
extern const char kLookupError[];

class AccountWriter {
 public:
  virtual ~AccountWriter() = default;
  virtual ConfigureResult Configure() = 0;
};

class RunLog;

// The Outlook Express and Outlook writers can also find the account that
// automatic mode rewrites.
class RegistryAccountWriter : public AccountWriter {
 public:
  virtual void Reinitialise(const AccountRequest& request, RunLog& log) = 0;
  virtual void MarkAutomatic() = 0;
  virtual void SetPrefix(const std::string& prefix) = 0;
  virtual std::string GetDefAcct() = 0;
  virtual std::string FindAcctByText(const std::string& text) = 0;
  virtual std::string GetAcctAddr(const std::string& account_key) = 0;
  virtual std::string GetAcctDisplayName(const std::string& account_key) = 0;
};

}  // namespace pw
