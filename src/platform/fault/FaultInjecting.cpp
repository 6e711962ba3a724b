#include "platform/fault/FaultInjecting.h"

namespace pw {

namespace {

// Every call of a key asks the plan first: reads as accesses, changes as mutations.
class FaultInjectingKey : public ForwardingRegKey {
 public:
  FaultInjectingKey(RegKeyPtr target, std::string name, FaultPlan& plan)
      : ForwardingRegKey(std::move(target)), name_(std::move(name)), plan_(plan) {}

  Status QueryValue(const std::string& name, RegValue* out) override {
    if (Status s = plan_.OnAccess(name_)) return s;
    return ForwardingRegKey::QueryValue(name, out);
  }
  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (Status s = plan_.OnMutation(name_)) return s;
    return ForwardingRegKey::SetValue(name, type, data);
  }
  Status DeleteValue(const std::string& name) override {
    if (Status s = plan_.OnMutation(name_)) return s;
    return ForwardingRegKey::DeleteValue(name);
  }
  Status EnumSubkey(uint32_t index, std::string* name) override {
    if (Status s = plan_.OnAccess(name_)) return s;
    return ForwardingRegKey::EnumSubkey(index, name);
  }
  Status CountSubkeys(uint32_t* count) override {
    if (Status s = plan_.OnAccess(name_)) return s;
    return ForwardingRegKey::CountSubkeys(count);
  }
  Status CountValues(uint32_t* count) override {
    if (Status s = plan_.OnAccess(name_)) return s;
    return ForwardingRegKey::CountValues(count);
  }

 private:
  std::string name_;
  FaultPlan& plan_;
};

class FaultInjectingFile : public OutputFile {
 public:
  FaultInjectingFile(OutputFilePtr inner, std::string path, FaultPlan& plan)
      : inner_(std::move(inner)), path_(std::move(path)), plan_(plan) {}
  Status Write(std::string_view bytes) override {
    if (Status s = plan_.OnMutation(path_)) return s;
    return inner_->Write(bytes);
  }
  Status Flush() override {
    if (Status s = plan_.OnMutation(path_)) return s;
    return inner_->Flush();
  }
  Status Close() override {
    if (Status s = plan_.OnMutation(path_)) {
      static_cast<void>(inner_->Close());  // the handle goes, the injected failure is the answer
      return s;
    }
    return inner_->Close();
  }

 private:
  OutputFilePtr inner_;
  std::string path_;
  FaultPlan& plan_;
};

}  // namespace

std::string FaultKeyName(RegRoot root, const std::string& path) {
  return path.empty() ? RootName(root) : std::string(RootName(root)) + "\\" + path;
}

Status FaultInjectingRegistry::OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  const std::string name = FaultKeyName(root, path);
  if (Status s = plan_.OnAccess(name)) return s;
  RegKeyPtr key;
  if (Status s = ForwardingRegistry::OpenKey(root, path, access, &key)) return s;
  *out = std::make_unique<FaultInjectingKey>(std::move(key), name, plan_);
  return err::kSuccess;
}

Status FaultInjectingRegistry::CreateKey(RegRoot root, const std::string& path, RegAccess access,
                                         RegKeyPtr* out) {
  const std::string name = FaultKeyName(root, path);
  if (Status s = plan_.OnMutation(name)) return s;
  RegKeyPtr key;
  if (Status s = ForwardingRegistry::CreateKey(root, path, access, &key)) return s;
  *out = std::make_unique<FaultInjectingKey>(std::move(key), name, plan_);
  return err::kSuccess;
}

Status FaultInjectingRegistry::DeleteKey(RegRoot root, const std::string& path) {
  if (Status s = plan_.OnMutation(FaultKeyName(root, path))) return s;
  return ForwardingRegistry::DeleteKey(root, path);
}

Status FaultInjectingFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  if (Status s = plan_.OnAccess(path)) return s;
  return ForwardingFileSystem::ReadAll(path, bytes);
}

Status FaultInjectingFileSystem::ReadAttributes(const std::string& path, FileAttributes* attributes) {
  if (Status s = plan_.OnAccess(path)) return s;
  return ForwardingFileSystem::ReadAttributes(path, attributes);
}

Status FaultInjectingFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  if (Status s = plan_.OnMutation(path)) return s;
  OutputFilePtr file;
  if (Status s = ForwardingFileSystem::OpenAppend(path, &file)) return s;
  *out = std::make_unique<FaultInjectingFile>(std::move(file), path, plan_);
  return err::kSuccess;
}

Status FaultInjectingFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  if (Status s = plan_.OnMutation(path)) return s;
  OutputFilePtr file;
  if (Status s = ForwardingFileSystem::OpenNew(path, &file)) return s;
  *out = std::make_unique<FaultInjectingFile>(std::move(file), path, plan_);
  return err::kSuccess;
}

Status FaultInjectingFileSystem::Replace(const std::string& from, const std::string& to) {
  if (Status s = plan_.OnMutation(to)) return s;
  if (Status s = plan_.OnAccess(from)) return s;
  return ForwardingFileSystem::Replace(from, to);
}

Status FaultInjectingFileSystem::Remove(const std::string& path) {
  if (Status s = plan_.OnMutation(path)) return s;
  return ForwardingFileSystem::Remove(path);
}

Status FaultInjectingFileSystem::MakeFolder(const std::string& path) {
  if (Status s = plan_.OnMutation(path)) return s;
  return ForwardingFileSystem::MakeFolder(path);
}

Status FaultInjectingFileSystem::RemoveFolder(const std::string& path) {
  if (Status s = plan_.OnMutation(path)) return s;
  return ForwardingFileSystem::RemoveFolder(path);
}

Status FaultInjectingFileSystem::List(const std::string& pattern, std::vector<std::string>* names) {
  if (Status s = plan_.OnAccess(pattern)) return s;
  return ForwardingFileSystem::List(pattern, names);
}

Status FaultInjectingFileSystem::Copy(const std::string& from, const std::string& to) {
  if (Status s = plan_.OnMutation(to)) return s;
  if (Status s = plan_.OnAccess(from)) return s;
  return ForwardingFileSystem::Copy(from, to);
}

}  // namespace pw
