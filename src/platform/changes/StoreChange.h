// One change a run makes, or would make, to what the user keeps: a registry
// key or value, a file or folder, a MAPI service, a running mail client. A
// run's changes are listed item by item, in the order of each item's first
// change, with how the item stood before and how it stands after.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace pw {

struct StoreChange {
  enum class Kind { kKey, kValue, kFolder, kFile, kService, kClose };
  explicit StoreChange(Kind kind) : kind(kind) {}
  Kind kind;
  RegRoot root = RegRoot::kCurrentUser;  // keys and values
  std::string path;                      // the key, folder or file; the profile of a service
  std::string name;                      // a value's name; a service's or a process's
  // A key's or folder's existence, as "" when there and none when not; a
  // value's or file's bytes.
  std::optional<std::string> before, after;
  uint32_t value_type_before = 0, value_type_after = 0;
  std::string detail;  // a service's display name; a process's id
};

using StoreChanges = std::vector<StoreChange>;
// Changes with the number of each one's first change (ChangeOrder), to be put
// in the order they were made.
using NumberedChanges = std::vector<std::pair<uint64_t, StoreChange>>;

}  // namespace pw
