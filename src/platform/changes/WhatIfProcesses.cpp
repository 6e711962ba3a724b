#include "platform/changes/WhatIfProcesses.h"

#include <functional>

namespace pw {

namespace {

class WhatIfProcess : public ProcessHandle {
 public:
  explicit WhatIfProcess(std::function<void()> closed) : closed_(std::move(closed)) {}
  Status Terminate(uint32_t) override {
    closed_();
    return err::kSuccess;
  }
  Status WaitForExit(uint32_t) override { return err::kSuccess; }

 private:
  std::function<void()> closed_;
};

}  // namespace

Status WhatIfProcesses::Snapshot(std::vector<ProcessEntry>* entries) {
  const Status status = target_.Snapshot(entries);
  if (status == err::kSuccess)
    for (const ProcessEntry& entry : *entries) names_[entry.id] = entry.exe;
  return status;
}

// The process must be there to be closed; nothing is asked of it.
Status WhatIfProcesses::Open(uint32_t id, ProcessHandlePtr* out) {
  ProcessHandlePtr real;
  if (Status status = target_.Open(id, &real)) return status;
  *out = std::make_unique<WhatIfProcess>([this, id] { Close(id); });
  return err::kSuccess;
}

Status WhatIfProcesses::Start(const std::string&, const std::string&) { return err::kSuccess; }

Status WhatIfProcesses::AskToClose(uint32_t id, uint32_t* asked) {
  Close(id);
  *asked = 1;
  return err::kSuccess;
}

void WhatIfProcesses::Close(uint32_t id) {
  if (closed_.find(id) == closed_.end()) closed_[id] = order_.Next();
}

void WhatIfProcesses::AddChanges(NumberedChanges* changes) const {
  for (const auto& closed : closed_) {
    StoreChange change{StoreChange::Kind::kClose};
    const auto name = names_.find(closed.first);
    change.name = name == names_.end() ? std::string() : name->second;
    change.detail = std::to_string(closed.first);
    changes->emplace_back(closed.second, change);
  }
}

}  // namespace pw
