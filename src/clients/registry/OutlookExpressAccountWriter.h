// Puts one POP3/SMTP account into the registry keys in which Outlook Express
// keeps its Internet accounts (current user).
#pragma once

#include <string>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "platform/Registry.h"

namespace pw {

class OutlookExpressAccountWriter : public AccountWriter {
 public:
  // Nothing is read or written here. With an automatic prefix the account is
  // the one named prefix + address.
  OutlookExpressAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                              Registry& registry, RunLog& log);

  // 0 written; 1 the account root cannot be opened for writing or counted;
  // 5 (interactive) or 6 (automatic) the account exists and overwrite is off;
  // 7 a key or value could not be written (what this run wrote is undone).
  ConfigureResult Configure() override;

 private:
  std::string AccountName() const { return automatic_prefix_.value_or("") + request_.address; }

  Registry& registry_;
  RunLog& log_;
  AccountRequest request_;
  AutomaticPrefix automatic_prefix_;
};

}  // namespace pw
