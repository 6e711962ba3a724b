// Puts one POP3/SMTP account into Outlook 2000 (version 9 and earlier, or an
// Outlook whose version is unknown): into the OMI Account Manager's keys,
// which have the shape of Outlook Express's, and in Corporate/Workgroup mode
// also into the default MAPI profile as an Internet E-Mail service.
#pragma once

#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "clients/registry/InternetAccountStore.h"
#include "platform/Mapi.h"
#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

class OutlookAccountWriter : public ConfigureSkeleton {
 public:
  // Nothing is read or written here. With an automatic prefix the account is
  // the one named prefix + address. MAPI's failures go to `out`.
  OutlookAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix, Registry& registry,
                       Mapi& mapi, StdOut& out, RunLog& log);

  // Configure: 0 written; in Corporate/Workgroup mode 4 Outlook asks for a
  // profile at start-up, 2 its profiles key cannot be opened for writing;
  // 5 (interactive) or 6 (automatic) the account exists and overwrite is off;
  // 7 the account could not be read or written, or its MAPI service could not
  // be added (what this run wrote is undone).

 private:
  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override { return std::nullopt; }
  StepResult Add() override { return std::nullopt; }
  StepResult Save() override;
  std::vector<std::string> Report() override;
  bool CorporateWorkgroupMode();
  AccountValues Values() const;

  Registry& registry_;
  Mapi& mapi_;
  StdOut& out_;
  InternetAccountStore store_;
  bool corporate_workgroup_ = false;
  std::string default_profile_;  // Corporate/Workgroup mode only
  InternetAccountStore::Account target_;
};

}  // namespace pw
