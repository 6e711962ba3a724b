#include "platform/changes/WhatIfPlatform.h"

#include <algorithm>

namespace pw {

WhatIfPlatform::WhatIfPlatform(const Platform& target)
    : target_(target),
      registry_(target.registry, order_),
      files_(target.files, order_),
      processes_(target.processes, order_),
      mapi_(target.mapi, *this, true) {}

Platform WhatIfPlatform::View() {
  return Platform{registry_, files_, processes_, target_.environment, target_.clock, target_.uuids,
                  target_.std_out, mapi_};
}

HResult WhatIfPlatform::BeforeCreate(const std::string& profile, const std::string& service,
                                     const std::string& display_name) {
  StoreChange change{StoreChange::Kind::kService};
  change.path = profile;
  change.name = service;
  change.after = display_name;
  change.detail = display_name;
  services_.emplace_back(order_.Next(), change);
  return hres::kOk;
}

StoreChanges WhatIfPlatform::Changes() const {
  NumberedChanges ordered = services_;
  registry_.AddChanges(&ordered);
  files_.AddChanges(&ordered);
  processes_.AddChanges(&ordered);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  StoreChanges changes;
  for (const auto& entry : ordered) changes.push_back(entry.second);
  return changes;
}

}  // namespace pw
