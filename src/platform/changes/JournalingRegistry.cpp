#include "platform/changes/JournalingRegistry.h"

#include <vector>

#include "platform/Text.h"

namespace pw {

class JournalingKey : public ForwardingRegKey {
 public:
  JournalingKey(JournalingRegistry& owner, RegRoot root, std::string path, RegKeyPtr target)
      : ForwardingRegKey(std::move(target)), owner_(owner), root_(root), path_(std::move(path)) {}

  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (Status s = owner_.KeepValue(root_, path_, name)) return s;
    return ForwardingRegKey::SetValue(name, type, data);
  }
  Status DeleteValue(const std::string& name) override {
    if (Status s = owner_.KeepValue(root_, path_, name)) return s;
    return ForwardingRegKey::DeleteValue(name);
  }

 private:
  JournalingRegistry& owner_;
  RegRoot root_;
  std::string path_;
};

Status JournalingRegistry::Wrap(RegRoot root, const std::string& path, RegKeyPtr key, RegKeyPtr* out) {
  *out = std::make_unique<JournalingKey>(*this, root, path, std::move(key));
  return err::kSuccess;
}

Status JournalingRegistry::OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  RegKeyPtr key;
  if (Status s = target().OpenKey(root, path, access, &key)) return s;
  return Wrap(root, path, std::move(key), out);
}

// Every key the creation would make is kept as missing first.
Status JournalingRegistry::CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  const std::vector<std::string> parts = SplitPath(path, "\\");
  for (size_t n = 1; n <= parts.size(); ++n)
    if (Status s = KeepKey(root, JoinPath(parts, n))) return s;
  RegKeyPtr key;
  if (Status s = target().CreateKey(root, path, access, &key)) return s;
  return Wrap(root, path, std::move(key), out);
}

Status JournalingRegistry::DeleteKey(RegRoot root, const std::string& path) {
  if (Status s = KeepKey(root, path)) return s;
  return target().DeleteKey(root, path);
}

Status JournalingRegistry::KeepKey(RegRoot root, const std::string& path) {
  const std::string id = RegKeyIdentity(root, path);
  if (kept_.count(id)) return err::kSuccess;
  RegKeyPtr key;
  const Status opened = target().OpenKey(root, path, RegAccess::kRead, &key);
  if (Status s = journal_.KeepKey(root, RegKeyPath(path), opened != err::kFileNotFound)) return s;
  kept_.insert(id);
  return err::kSuccess;
}

Status JournalingRegistry::KeepValue(RegRoot root, const std::string& path, const std::string& name) {
  const std::string id = RegKeyIdentity(root, path) + "\\\"" + UpperCaseText(name) + "\"";
  if (kept_.count(id)) return err::kSuccess;
  std::optional<RegValue> before;
  RegKeyPtr key;
  RegValue value;
  if (target().OpenKey(root, path, RegAccess::kRead, &key) == err::kSuccess) {
    const Status queried = key->QueryValue(name, &value);
    if (queried == err::kSuccess) before = value;
    // A value that is there but cannot be read cannot be put back: not changed.
    else if (queried != err::kFileNotFound) return queried;
  }
  if (Status s = journal_.KeepValue(root, RegKeyPath(path), name, before)) return s;
  kept_.insert(id);
  return err::kSuccess;
}

}  // namespace pw
