// Finds the Outlook Express account that automatic mode rewrites: the default
// mail account, or the first whose address contains a search text.
#pragma once

#include "clients/registry/InternetAccountLookup.h"

namespace pw {

class OutlookExpressAccountLookup : public InternetAccountLookup {
 public:
  OutlookExpressAccountLookup(Registry& registry, RunLog& log)
      : InternetAccountLookup(kOutlookExpressAccounts, Logging::kResults, registry, log) {}
};

}  // namespace pw
