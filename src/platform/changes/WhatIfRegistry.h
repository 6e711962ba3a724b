// The registry as a what-if run sees it: every change is kept here instead of
// being made, and every read answers with what the change would have left.
// Keys are compared without letter case; a new key is enumerated in the
// registry's order among the old ones.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"
#include "platform/changes/ChangeOrder.h"
#include "platform/changes/StoreChange.h"

namespace pw {

class WhatIfRegistry : public Registry {
 public:
  WhatIfRegistry(Registry& target, ChangeOrder& order) : target_(target), order_(order) {}

  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status DeleteKey(RegRoot root, const std::string& path) override;

  // What would have changed, each with the number of its first change.
  void AddChanges(NumberedChanges* changes) const;

 private:
  friend class WhatIfKey;

  struct Value {
    std::string name;              // as first written
    std::optional<RegValue> before;
    std::optional<RegValue> now;   // none: deleted
    uint64_t order = 0;
  };
  struct Key {
    RegRoot root = RegRoot::kCurrentUser;
    std::string path;  // as first written, without a trailing backslash
    bool existed = false;
    bool exists = false;
    uint64_t order = 0;  // of its creation or removal; 0 when it stands as it stood
    std::map<std::string, Value> values;  // by upper-cased name
  };

  Key* Find(RegRoot root, const std::string& path);
  // The entry of a key, made when first needed with how the registry has it.
  Key& Entry(RegRoot root, const std::string& path);
  bool ExistsNow(RegRoot root, const std::string& path);
  bool ExistedBefore(RegRoot root, const std::string& path);
  Status Wrap(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out);
  std::vector<std::string> Children(RegRoot root, const std::string& path, RegKey* inner);
  std::optional<RegValue> ValueBefore(RegRoot root, const std::string& path, const std::string& name);

  Registry& target_;
  ChangeOrder& order_;
  std::map<std::string, Key> keys_;  // by root and upper-cased path
};

}  // namespace pw
