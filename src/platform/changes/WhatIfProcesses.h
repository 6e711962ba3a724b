// The running programs as a what-if run sees them: a mail client it would
// close is listed, asked nothing and left running, and counts as ended.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Processes.h"
#include "platform/changes/ChangeOrder.h"
#include "platform/changes/StoreChange.h"

namespace pw {

class WhatIfProcesses : public Processes {
 public:
  WhatIfProcesses(Processes& target, ChangeOrder& order) : target_(target), order_(order) {}

  Status Snapshot(std::vector<ProcessEntry>* entries) override;
  Status Open(uint32_t id, ProcessHandlePtr* out) override;
  Status Start(const std::string& application, const std::string& command_line) override;
  Status HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) override {
    return target_.HoldMutex(name, timeout_ms, out);
  }
  Status AskToClose(uint32_t id, uint32_t* asked) override;

  void AddChanges(NumberedChanges* changes) const;

 private:
  void Close(uint32_t id);

  Processes& target_;
  ChangeOrder& order_;
  std::map<uint32_t, std::string> names_;          // from the snapshots
  std::map<uint32_t, uint64_t> closed_;            // id -> order
};

}  // namespace pw
