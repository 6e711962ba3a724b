#include "platform/fault/FaultPlan.h"

#include "platform/Text.h"

namespace pw {

namespace {
// Paths compare without case, either slash, no trailing separator.
std::string Canonical(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return AsciiUpper(path);
}
}  // namespace

void FaultPlan::FailNthMutation(int n, Status status) {
  fail_at_ = mutations_ + n;
  fail_status_ = status;
}

void FaultPlan::FailPath(const std::string& path, Status status) { paths_.push_back({Canonical(path), status}); }

void FaultPlan::DieAtNthMutation(int n, Status status) {
  die_at_ = mutations_ + n;
  fail_status_ = status;
}

void FaultPlan::Clear() {
  fail_at_ = 0;
  die_at_ = 0;
  dead_ = false;
  paths_.clear();
}

Status FaultPlan::OnMutation(const std::string& path) {
  ++mutations_;
  if (die_at_ > 0 && mutations_ >= die_at_) dead_ = true;
  if (dead_ || mutations_ == fail_at_) return fail_status_;
  return OnAccess(path);
}

Status FaultPlan::OnAccess(const std::string& path) const {
  if (dead_) return fail_status_;
  const std::string canonical = Canonical(path);
  for (const auto& p : paths_)
    if (p.first == canonical) return p.second;
  return err::kSuccess;
}

}  // namespace pw
