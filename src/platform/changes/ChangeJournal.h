// Where a real run keeps how each item stood before its first change, so the
// run can be taken back: the journaling decorators of the registry and the
// files call it before they pass the first change of an item on.
#pragma once

#include <optional>
#include <string>

#include "platform/Registry.h"

namespace pw {

class ChangeJournal {
 public:
  virtual ~ChangeJournal() = default;
  // Each is called once per item, before its first change; a failure keeps
  // that change from being made (it fails with the journal's answer).
  virtual Status KeepKey(RegRoot root, const std::string& path, bool existed) = 0;
  virtual Status KeepValue(RegRoot root, const std::string& key, const std::string& name,
                           const std::optional<RegValue>& before) = 0;
  // The journal reads the file itself (a copy, for a large file).
  virtual Status KeepFile(const std::string& path) = 0;
  virtual Status KeepFolder(const std::string& path, bool existed) = 0;
};

}  // namespace pw
