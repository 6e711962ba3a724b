// Which calls a fault-injecting wrapper makes fail: the Nth mutating call, and
// every call on chosen paths. One plan can drive a registry and a file system
// together, so "the Nth change anywhere" counts across both.
#pragma once

#include <string>
#include <vector>

#include "platform/Errors.h"

namespace pw {

class FaultPlan {
 public:
  // The nth (1-based) mutating call from now on fails with `status`.
  void FailNthMutation(int n, Status status);
  // Every call on `path` (compared without case; for registry keys the root
  // name, a backslash and the key path, e.g. "HKCU\Software\X") fails.
  void FailPath(const std::string& path, Status status);
  // The process "dies" at the nth (1-based) mutating call from now on: that
  // call and every later call, reading ones included, fail with `status`.
  void DieAtNthMutation(int n, Status status);
  void Clear();

  // Called by the wrappers. Returns the status the call must fail with, or 0.
  Status OnMutation(const std::string& path);
  Status OnAccess(const std::string& path) const;

  int mutations() const { return mutations_; }
  bool dead() const { return dead_; }

 private:
  int fail_at_ = 0;
  Status fail_status_ = err::kSuccess;
  int mutations_ = 0;
  int die_at_ = 0;
  bool dead_ = false;
  std::vector<std::pair<std::string, Status>> paths_;
};

}  // namespace pw
