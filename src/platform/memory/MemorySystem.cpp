#include "platform/memory/MemorySystem.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"
#include "platform/memory/MemoryCodePages.h"

namespace pw {

class MemoryProcessHandle : public ProcessHandle {
 public:
  MemoryProcessHandle(MemoryProcesses* owner, uint32_t id) : owner_(owner), id_(id) { ++owner_->open_handles_; }
  ~MemoryProcessHandle() override { --owner_->open_handles_; }

  Status Terminate(uint32_t) override {
    MemoryProcesses::Process& p = owner_->processes_.at(id_);
    if (p.deny_terminate) return err::kAccessDenied;
    p.terminated = true;
    if (!p.ignores_terminate) p.running = false;
    return err::kSuccess;
  }

  Status WaitForExit(uint32_t) override {
    owner_->waited_.push_back(id_);
    return owner_->processes_.at(id_).running ? err::kWaitTimeout : err::kSuccess;
  }

 private:
  MemoryProcesses* owner_;
  uint32_t id_;
};

class MemoryMutexHold : public MutexHold {
 public:
  MemoryMutexHold(MemoryProcesses* owner, std::string name) : owner_(owner), name_(std::move(name)) {
    owner_->held_mutexes_.push_back(name_);
  }
  ~MemoryMutexHold() override {
    auto& held = owner_->held_mutexes_;
    held.erase(std::find(held.begin(), held.end(), name_));
  }

 private:
  MemoryProcesses* owner_;
  std::string name_;
};

Status MemoryProcesses::HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) {
  if (mutex_status_ != err::kSuccess) return mutex_status_;
  if (MutexHeld(name)) {
    mutex_waits_.push_back(timeout_ms);
    return err::kWaitTimeout;
  }
  *out = std::make_unique<MemoryMutexHold>(this, name);
  return err::kSuccess;
}

bool MemoryProcesses::MutexHeld(const std::string& name) const {
  return std::find(held_mutexes_.begin(), held_mutexes_.end(), name) != held_mutexes_.end();
}

Status MemoryProcesses::AskToClose(uint32_t id, uint32_t* asked) {
  *asked = 0;
  auto it = processes_.find(id);
  if (it == processes_.end() || !it->second.running) return err::kInvalidParameter;
  Process& p = it->second;
  *asked = p.windows;
  p.close_requests += p.windows;
  if (p.windows > 0 && p.closes_when_asked) p.running = false;
  return err::kSuccess;
}

Status MemoryProcesses::Snapshot(std::vector<ProcessEntry>* entries) {
  entries->clear();
  if (snapshot_status_ != err::kSuccess) return snapshot_status_;
  for (uint32_t id : order_)
    if (processes_.at(id).running) entries->push_back(processes_.at(id).entry);
  return err::kSuccess;
}

Status MemoryProcesses::Open(uint32_t id, ProcessHandlePtr* out) {
  auto it = processes_.find(id);
  if (it == processes_.end() || !it->second.running) return err::kInvalidParameter;
  if (it->second.deny_open) return err::kAccessDenied;
  *out = std::make_unique<MemoryProcessHandle>(this, id);
  return err::kSuccess;
}

Status MemoryProcesses::Start(const std::string& application, const std::string& command_line) {
  started_.push_back({application, command_line});
  if (!files_) return err::kSuccess;
  std::string image;
  if (Status s = files_->ReadAll(application, &image)) return s;
  const size_t slash = application.find_last_of("\\/");
  Add(slash == std::string::npos ? application : application.substr(slash + 1));
  return err::kSuccess;
}

uint32_t MemoryProcesses::Add(const std::string& exe) {
  const uint32_t id = next_id_;
  next_id_ += 4;
  processes_[id] = Process{ProcessEntry{id, exe}};
  order_.push_back(id);
  return id;
}

void MemoryEnvironment::Set(const std::string& name, const std::string& value) {
  Unset(name);
  variables_[name] = value;
}

void MemoryEnvironment::Unset(const std::string& name) {
  for (auto it = variables_.begin(); it != variables_.end(); ++it) {
    if (EqualsNoCase(it->first, name)) {
      variables_.erase(it);
      return;
    }
  }
}

bool MemoryEnvironment::Variable(const std::string& name, std::string* value) {
  for (const auto& v : variables_) {
    if (EqualsNoCase(v.first, name)) {
      *value = v.second;
      return true;
    }
  }
  return false;
}

Status MemoryEnvironment::ShellAppDataFolder(std::string* folder) {
  if (shell_app_data_.empty()) return err::kFileNotFound;
  *folder = shell_app_data_;
  return err::kSuccess;
}

Status MemoryEnvironment::ShellLocalAppDataFolder(std::string* folder) {
  if (shell_local_app_data_.empty()) return err::kFileNotFound;
  *folder = shell_local_app_data_;
  return err::kSuccess;
}

namespace {

const char16_t* UpperHalf(int code_page) { return code_page == 1255 ? kCodePage1255 : kCodePage1252; }

}  // namespace

bool MemoryEnvironment::ToAnsiCodePage(const std::string& text, std::string* ansi) {
  const char16_t* upper = UpperHalf(code_page_);
  std::string converted;
  bool whole = true;
  const std::u16string wide = Utf8ToUtf16(text);
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t c = wide[i];
    int byte = c < 0x80 ? c : -1;
    for (int k = 0; byte < 0 && c != 0 && k < 128; ++k)
      if (upper[k] == c) byte = 0x80 + k;
    if (byte < 0) {
      whole = false;
      byte = '?';
      // A pair of surrogates is one character, and one "?".
      if (IsHighSurrogate(c) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
    }
    converted += static_cast<char>(byte);
  }
  ansi->swap(converted);
  return whole;
}

std::string MemoryEnvironment::FromAnsiCodePage(const std::string& ansi) {
  const char16_t* upper = UpperHalf(code_page_);
  std::u16string wide;
  for (char c : ansi) {
    const unsigned char byte = static_cast<unsigned char>(c);
    const char16_t unit = byte < 0x80 ? byte : upper[byte - 0x80];
    wide += unit != 0 || byte == 0 ? unit : u'\uFFFD';
  }
  return Utf16ToUtf8(wide);
}

Status MemoryUuidSource::NewUuid(std::string* text) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "00000000-0000-4000-8000-%012llx", next_++);
  *text = buffer;
  return err::kSuccess;
}

}  // namespace pw
