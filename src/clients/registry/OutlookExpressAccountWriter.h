// Puts one POP3/SMTP account into the registry keys in which Outlook Express
// keeps its Internet accounts (current user), and finds the account that
// automatic mode rewrites.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "clients/registry/InternetAccountValues.h"
#include "platform/Registry.h"

namespace pw {

class OutlookExpressAccountWriter : public RegistryAccountWriter {
 public:
  // One subkey per account.
  static const char kAccountRoot[];
  // Holds "Default Mail Account", the key name of the default account.
  static const char kAccountManager[];

  // Nothing is read or written here.
  OutlookExpressAccountWriter(const AccountRequest& request, Registry& registry, RunLog& log);

  // 0 written; 1 the account root cannot be opened for writing or counted;
  // 5 (interactive) or 6 (automatic) the account exists and overwrite is off;
  // 7 a key or value could not be written (what this run wrote is undone).
  ConfigureResult Configure() override;

  void Reinitialise(const AccountRequest& request, RunLog& log) override;
  void MarkAutomatic() override { automatic_ = true; }
  void SetPrefix(const std::string& prefix) override { prefix_ = prefix; }

  // Each returns the text asked for, or "*ERROR*".
  std::string GetDefAcct() override;
  std::string FindAcctByText(const std::string& text) override;
  std::string GetAcctAddr(const std::string& account_key) override;
  std::string GetAcctDisplayName(const std::string& account_key) override;

 private:
  struct Target {
    bool exists = false;
    std::string key_path;
  };

  Target FindByAddress(RegKey& root, uint32_t count);
  Target FindIdentical(RegKey& root, uint32_t count);
  ConfigureResult Save(const std::string& key_path, const AccountValues& values, bool make_default);
  Status WriteAccount(const std::string& key_path, const AccountValues& values);
  Status WriteDefaultAccount();
  std::string AccountName() const { return automatic_ ? prefix_ + request_.address : request_.address; }

  Registry& registry_;
  RunLog* log_;
  AccountRequest request_;
  bool automatic_ = false;
  bool identical_account_ = false;
  std::string prefix_;
};

}  // namespace pw
