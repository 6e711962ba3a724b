// A platform on which nothing changes: the registry, the files, MAPI's
// services and the running clients as a what-if run sees them. Every change
// the run would make is kept, and listed afterwards in the order it would be
// made.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "platform/changes/ChangeOrder.h"
#include "platform/changes/StoreChange.h"
#include "platform/changes/WatchedMapi.h"
#include "platform/changes/WhatIfFileSystem.h"
#include "platform/changes/WhatIfProcesses.h"
#include "platform/changes/WhatIfRegistry.h"

namespace pw {

class WhatIfPlatform : private MapiWatch {
 public:
  explicit WhatIfPlatform(const Platform& target);
  WhatIfPlatform(const WhatIfPlatform&) = delete;
  WhatIfPlatform& operator=(const WhatIfPlatform&) = delete;

  Platform View();
  // What the run would have changed, item by item, in the order of each
  // item's first change.
  StoreChanges Changes() const;

 private:
  HResult BeforeCreate(const std::string& profile, const std::string& service,
                       const std::string& display_name) override;
  void Created(const std::string&, const std::optional<MapiUid>&) override {}

  Platform target_;
  ChangeOrder order_;
  WhatIfRegistry registry_;
  WhatIfFileSystem files_;
  WhatIfProcesses processes_;
  WatchedMapi mapi_;
  NumberedChanges services_;
};

}  // namespace pw
