// Puts one POP3/SMTP account into Outlook 2002 and later (version 10 and up):
// into the account store of the default MAPI profile, with the store's
// bookkeeping (the next account number, the account order, the change counter).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "clients/registry/InternetAccountValues.h"
#include "clients/registry/OutlookProfiles.h"
#include "platform/Registry.h"

namespace pw {

class OutlookProfileAccountWriter : public ConfigureSkeleton {
 public:
  // Nothing is read or written here. With an automatic prefix the account is
  // the one named prefix + address. The profiles are those of the Outlook
  // version given (see ProfileKeysOf); without one, those of Outlook 2002 to 2010.
  OutlookProfileAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                              Registry& registry, RunLog& log);
  OutlookProfileAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                              int outlook_version, Registry& registry, RunLog& log);

  // Configure: 0 written; 4 Outlook asks for a profile at start-up; 3 Outlook
  // has no profiles or no account store yet; 2 they cannot be opened for
  // writing; 1 an existing account cannot be made the default among more
  // than 50 keys; 5 (interactive) or 6 (automatic) the account exists and
  // overwrite is off; 7 the store could not be read or written (what this run
  // wrote is undone).

 private:
  // What a run changes in the store: the account's key, and for a new or a
  // newly default account the order (and for a new one the next number).
  struct Change {
    std::string key_name;
    std::optional<std::string> order;
    std::optional<uint32_t> next_account_id;
  };

  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override;
  StepResult Add() override;
  StepResult Save() override;
  std::vector<std::string> Report() override;

  AccountValues Values() const;
  Status OpenAccountStore(const std::string& profile, RegKeyPtr* store, std::string* store_path);
  std::optional<std::string> FindAccount();
  bool OrderWithDefaultFirst(const std::string& key_name, std::string* order);
  Status NewAccount();

  Registry& registry_;
  OutlookProfileKeys keys_;
  RegKeyPtr store_;
  std::string store_path_;
  std::vector<std::string> accounts_;  // the store's keys
  std::optional<std::string> found_;
  Change change_;
};

}  // namespace pw
