// Numbers the first change of each item a run touches, across the registry,
// the files and MAPI, so that the list of changes comes in the order they
// were made.
#pragma once

#include <cstdint>

namespace pw {

class ChangeOrder {
 public:
  uint64_t Next() { return ++last_; }

 private:
  uint64_t last_ = 0;
};

}  // namespace pw
