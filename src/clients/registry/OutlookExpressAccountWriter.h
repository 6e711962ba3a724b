// Puts one POP3/SMTP account into the registry keys in which Outlook Express
// keeps its Internet accounts (current user).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/RunLog.h"
#include "clients/ConfigureSkeleton.h"
#include "clients/registry/InternetAccountStore.h"
#include "platform/Registry.h"

namespace pw {

class OutlookExpressAccountWriter : public ConfigureSkeleton {
 public:
  // Nothing is read or written here. With an automatic prefix the account is
  // the one named prefix + address.
  OutlookExpressAccountWriter(const AccountRequest& request, const AutomaticPrefix& automatic_prefix,
                              Registry& registry, RunLog& log);

  // Configure: 0 written; 1 the account root cannot be opened for writing
  // or counted; 5 (interactive) or 6 (automatic) the account exists and
  // overwrite is off; 7 a key or value could not be written (what this run
  // wrote is undone).

 private:
  StepResult Open() override;
  StepResult Find(bool* found) override;
  StepResult Rewrite() override { return std::nullopt; }
  StepResult Add() override { return std::nullopt; }
  StepResult Save() override;
  std::vector<std::string> Report() override;

  Registry& registry_;
  InternetAccountStore store_;
  std::vector<std::string> accounts_;  // the account root's keys when it was opened
  InternetAccountStore::Account target_;
};

}  // namespace pw
