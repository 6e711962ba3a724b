// Puts one POP3/SMTP account into Outlook 2000 (version 9 and earlier, or an
// Outlook whose version is unknown): into the OMI Account Manager's keys,
// which have the shape of Outlook Express's, and in Corporate/Workgroup mode
// also into the default MAPI profile as an Internet E-Mail service.
#pragma once

#include <string>

#include "app/RunLog.h"
#include "clients/AccountWriter.h"
#include "platform/Mapi.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class OutlookAccountWriter : public AccountWriter {
 public:
  // Nothing is read or written here. With an automatic prefix the account is
  // the one named prefix + address. MAPI's failures go to `out`.
  OutlookAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix, Registry& registry,
                       Mapi& mapi, StdOut& out, RunLog& log);

  // 0 written (whether or not the MAPI service could be added); in
  // Corporate/Workgroup mode 4 Outlook asks for a profile at start-up, 2 its
  // profiles key cannot be opened for writing; 5 (interactive) or 6
  // (automatic) the account exists and overwrite is off; 7 the account could
  // not be read or written (what this run wrote is undone).
  ConfigureResult Configure() override;

 private:
  bool CorporateWorkgroupMode();
  std::string AccountName() const { return automatic_prefix_.value_or("") + request_.address; }

  Registry& registry_;
  Mapi& mapi_;
  StdOut& out_;
  RunLog& log_;
  AccountRequest request_;
  AutomaticPrefix automatic_prefix_;
  std::string default_profile_;  // Corporate/Workgroup mode only
};

}  // namespace pw
