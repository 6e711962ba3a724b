#include "platform/memory/MemoryRegistry.h"

#include <algorithm>

#include "platform/Text.h"

namespace pw {

struct MemoryRegistry::Node : std::enable_shared_from_this<MemoryRegistry::Node> {
  std::string name;
  bool deny_write = false;
  bool deny_access = false;
  bool deleted = false;  // removed from the tree while a key was open on it
  std::vector<std::shared_ptr<Node>> subkeys;  // kept in enumeration order
  std::vector<std::pair<std::string, RegValue>> values;  // in order of first set

  Node* Child(const std::string& child_name) const {
    for (const auto& sub : subkeys)
      if (EqualsNoCase(sub->name, child_name)) return sub.get();
    return nullptr;
  }

  Node* AddChild(const std::string& child_name) {
    auto node = std::make_shared<Node>();
    node->name = child_name;
    auto at = std::lower_bound(subkeys.begin(), subkeys.end(), child_name,
                               [](const std::shared_ptr<Node>& n, const std::string& s) {
                                 return RegistryNameLess(n->name, s);
                               });
    return subkeys.insert(at, node)->get();
  }

  RegValue* Value(const std::string& value_name) {
    for (auto& v : values)
      if (EqualsNoCase(v.first, value_name)) return &v.second;
    return nullptr;
  }
};

namespace {

std::vector<std::string> SplitPath(const std::string& path) { return pw::SplitPath(path, "\\"); }

class MemoryKey : public RegKey {
 public:
  MemoryKey(MemoryRegistry::Node* node, bool writable) : node_(node->shared_from_this()), writable_(writable) {}

  Status QueryValue(const std::string& name, RegValue* out) override {
    if (node_->deleted) return err::kKeyDeleted;
    const RegValue* value = node_->Value(name);
    if (!value) return err::kFileNotFound;
    *out = *value;
    return err::kSuccess;
  }

  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (node_->deleted) return err::kKeyDeleted;
    if (!writable_) return err::kAccessDenied;
    if (RegValue* value = node_->Value(name)) {
      value->type = type;
      value->data = data;
    } else {
      node_->values.push_back({name, RegValue{type, data}});
    }
    return err::kSuccess;
  }

  Status DeleteValue(const std::string& name) override {
    if (node_->deleted) return err::kKeyDeleted;
    if (!writable_) return err::kAccessDenied;
    auto& values = node_->values;
    for (auto it = values.begin(); it != values.end(); ++it) {
      if (EqualsNoCase(it->first, name)) {
        values.erase(it);
        return err::kSuccess;
      }
    }
    return err::kFileNotFound;
  }

  Status EnumSubkey(uint32_t index, std::string* name) override {
    if (node_->deleted) return err::kKeyDeleted;
    if (index >= node_->subkeys.size()) return err::kNoMoreItems;
    *name = node_->subkeys[index]->name;
    return err::kSuccess;
  }

  Status CountSubkeys(uint32_t* count) override {
    if (node_->deleted) return err::kKeyDeleted;
    *count = static_cast<uint32_t>(node_->subkeys.size());
    return err::kSuccess;
  }

  Status CountValues(uint32_t* count) override {
    if (node_->deleted) return err::kKeyDeleted;
    *count = static_cast<uint32_t>(node_->values.size());
    return err::kSuccess;
  }

 private:
  std::shared_ptr<MemoryRegistry::Node> node_;  // kept alive if the key is deleted while open
  bool writable_;
};

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegRoot root : {RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kClassesRoot})
    roots_[root] = std::make_shared<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::Node* MemoryRegistry::Find(RegRoot root, const std::string& path) const {
  Node* node = roots_.at(root).get();
  for (const std::string& part : SplitPath(path)) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

MemoryRegistry::Node* MemoryRegistry::Make(RegRoot root, const std::string& path) {
  Node* node = roots_.at(root).get();
  for (const std::string& part : SplitPath(path)) {
    Node* child = node->Child(part);
    node = child ? child : node->AddChild(part);
  }
  return node;
}

Status MemoryRegistry::OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  Node* node = Find(root, path);
  if (!node) return err::kFileNotFound;
  if (node->deny_access) return err::kAccessDenied;
  if (access == RegAccess::kAllAccess && node->deny_write) return err::kAccessDenied;
  *out = std::make_unique<MemoryKey>(node, access == RegAccess::kAllAccess);
  return err::kSuccess;
}

Status MemoryRegistry::CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  // Walk down as far as keys exist; creating below a key needs rights on it.
  Node* node = roots_.at(root).get();
  const std::vector<std::string> parts = SplitPath(path);
  size_t i = 0;
  for (; i < parts.size(); ++i) {
    Node* child = node->Child(parts[i]);
    if (!child) break;
    node = child;
  }
  if (i < parts.size() && (node->deny_write || node->deny_access)) return err::kAccessDenied;
  for (; i < parts.size(); ++i) node = node->AddChild(parts[i]);
  if (node->deny_access) return err::kAccessDenied;
  if (access == RegAccess::kAllAccess && node->deny_write) return err::kAccessDenied;
  *out = std::make_unique<MemoryKey>(node, access == RegAccess::kAllAccess);
  return err::kSuccess;
}

Status MemoryRegistry::DeleteKey(RegRoot root, const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path);
  if (parts.empty()) return err::kAccessDenied;  // a root stays
  Node* parent = roots_.at(root).get();
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    parent = parent->Child(parts[i]);
    if (!parent) return err::kFileNotFound;
  }
  auto& siblings = parent->subkeys;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    Node* node = it->get();
    if (!EqualsNoCase(node->name, parts.back())) continue;
    if (node->deny_access || node->deny_write || !node->subkeys.empty()) return err::kAccessDenied;
    node->deleted = true;  // keys still open on it keep it alive and see it gone
    siblings.erase(it);
    return err::kSuccess;
  }
  return err::kFileNotFound;
}

void MemoryRegistry::DenyWrite(RegRoot root, const std::string& path) { Make(root, path)->deny_write = true; }

void MemoryRegistry::DenyAccess(RegRoot root, const std::string& path) { Make(root, path)->deny_access = true; }

void MemoryRegistry::Put(RegRoot root, const std::string& path, const std::string& name, uint32_t type,
                         const std::string& data) {
  MemoryKey key(Make(root, path), true);
  static_cast<void>(key.SetValue(name, type, data));  // seeding a writable twin key cannot fail
}

void MemoryRegistry::PutText(RegRoot root, const std::string& path, const std::string& name,
                             const std::string& text) {
  Put(root, path, name, regtype::kSz, text + '\0');
}

void MemoryRegistry::PutDword(RegRoot root, const std::string& path, const std::string& name, uint32_t value) {
  Put(root, path, name, regtype::kDword, RegDwordBytes(value));
}

void MemoryRegistry::PutKey(RegRoot root, const std::string& path) { Make(root, path); }

bool MemoryRegistry::Get(RegRoot root, const std::string& path, const std::string& name, RegValue* out) const {
  Node* node = Find(root, path);
  if (!node) return false;
  const RegValue* value = node->Value(name);
  if (!value) return false;
  *out = *value;
  return true;
}

bool MemoryRegistry::HasKey(RegRoot root, const std::string& path) const { return Find(root, path) != nullptr; }

std::vector<std::string> MemoryRegistry::ValueNames(RegRoot root, const std::string& path) const {
  std::vector<std::string> names;
  if (Node* node = Find(root, path))
    for (const auto& v : node->values) names.push_back(v.first);
  return names;
}

}  // namespace pw
