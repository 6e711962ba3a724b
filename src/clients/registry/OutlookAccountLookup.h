// Finds the Outlook 2000 account that automatic mode rewrites, in the OMI
// Account Manager's keys: the default mail account, or the first whose address
// contains a search text. It logs less than its Outlook Express counterpart.
#pragma once

#include "clients/registry/InternetAccountLookup.h"

namespace pw {

class OutlookAccountLookup : public InternetAccountLookup {
 public:
  OutlookAccountLookup(Registry& registry, RunLog& log)
      : InternetAccountLookup(kOutlookAccounts, Logging::kQuiet, registry, log) {}
};

}  // namespace pw
