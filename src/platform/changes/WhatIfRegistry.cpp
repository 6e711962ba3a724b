#include "platform/changes/WhatIfRegistry.h"

#include <algorithm>

#include "platform/Text.h"

namespace pw {

namespace {

bool SameValue(const std::optional<RegValue>& a, const std::optional<RegValue>& b) {
  if (a.has_value() != b.has_value()) return false;
  return !a || (a->type == b->type && a->data == b->data);
}

}  // namespace

// A key as the overlay shows it: the registry's own key (none for a key the
// run would create) with the overlay's values and subkeys over it.
class WhatIfKey : public RegKey {
 public:
  WhatIfKey(WhatIfRegistry& owner, RegRoot root, std::string path, RegKeyPtr inner, RegAccess access)
      : owner_(owner), root_(root), path_(std::move(path)), inner_(std::move(inner)), access_(access) {}

  Status QueryValue(const std::string& name, RegValue* out) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    if (WhatIfRegistry::Key* key = owner_.Find(root_, path_)) {
      const auto value = key->values.find(UpperCaseText(name));
      if (value != key->values.end()) {
        if (!value->second.now) return err::kFileNotFound;
        *out = *value->second.now;
        return err::kSuccess;
      }
    }
    if (!inner_) return err::kFileNotFound;
    return inner_->QueryValue(name, out);
  }

  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    if (access_ != RegAccess::kAllAccess) return err::kAccessDenied;
    Touch(name).now = RegValue{type, data};
    return err::kSuccess;
  }

  Status DeleteValue(const std::string& name) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    if (access_ != RegAccess::kAllAccess) return err::kAccessDenied;
    RegValue ignored;
    if (QueryValue(name, &ignored) != err::kSuccess) return err::kFileNotFound;
    Touch(name).now.reset();
    return err::kSuccess;
  }

  Status EnumSubkey(uint32_t index, std::string* name) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    const std::vector<std::string> children = owner_.Children(root_, path_, inner_.get());
    if (index >= children.size()) return err::kNoMoreItems;
    *name = children[index];
    return err::kSuccess;
  }

  Status CountSubkeys(uint32_t* count) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    *count = static_cast<uint32_t>(owner_.Children(root_, path_, inner_.get()).size());
    return err::kSuccess;
  }

  Status CountValues(uint32_t* count) override {
    if (!owner_.ExistsNow(root_, path_)) return err::kKeyDeleted;
    uint32_t values = 0;
    if (inner_)
      if (Status s = inner_->CountValues(&values)) return s;
    if (WhatIfRegistry::Key* key = owner_.Find(root_, path_))
      for (const auto& entry : key->values) {
        const bool was = entry.second.before.has_value(), is = entry.second.now.has_value();
        if (was && !is) --values;
        if (!was && is) ++values;
      }
    *count = values;
    return err::kSuccess;
  }

 private:
  WhatIfRegistry::Value& Touch(const std::string& name) {
    WhatIfRegistry::Key& key = owner_.Entry(root_, path_);
    auto it = key.values.find(UpperCaseText(name));
    if (it == key.values.end()) {
      WhatIfRegistry::Value value;
      value.name = name;
      value.before = owner_.ValueBefore(root_, path_, name);
      value.now = value.before;
      value.order = owner_.order_.Next();
      it = key.values.emplace(UpperCaseText(name), value).first;
    }
    return it->second;
  }

  WhatIfRegistry& owner_;
  RegRoot root_;
  std::string path_;
  RegKeyPtr inner_;
  RegAccess access_;
};

WhatIfRegistry::Key* WhatIfRegistry::Find(RegRoot root, const std::string& path) {
  const auto it = keys_.find(RegKeyIdentity(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

WhatIfRegistry::Key& WhatIfRegistry::Entry(RegRoot root, const std::string& path) {
  if (Key* key = Find(root, path)) return *key;
  Key key;
  key.root = root;
  key.path = RegKeyPath(path);
  key.existed = ExistedBefore(root, path);
  key.exists = key.existed;
  return keys_.emplace(RegKeyIdentity(root, path), key).first->second;
}

// A key the registry will not open for reading is there all the same.
bool WhatIfRegistry::ExistedBefore(RegRoot root, const std::string& path) {
  RegKeyPtr key;
  const Status status = target_.OpenKey(root, path, RegAccess::kRead, &key);
  return status == err::kSuccess || status == err::kAccessDenied;
}

bool WhatIfRegistry::ExistsNow(RegRoot root, const std::string& path) {
  if (const Key* key = Find(root, path)) return key->exists;
  return ExistedBefore(root, path);
}

std::optional<RegValue> WhatIfRegistry::ValueBefore(RegRoot root, const std::string& path, const std::string& name) {
  RegKeyPtr key;
  RegValue value;
  if (!ExistedBefore(root, path) || target_.OpenKey(root, path, RegAccess::kRead, &key) ||
      key->QueryValue(name, &value))
    return std::nullopt;
  return value;
}

Status WhatIfRegistry::Wrap(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  RegKeyPtr inner;
  const Key* key = Find(root, path);
  if (!key || key->existed) {
    if (Status status = target_.OpenKey(root, path, access, &inner)) return status;
  }
  *out = std::make_unique<WhatIfKey>(*this, root, path, std::move(inner), access);
  return err::kSuccess;
}

Status WhatIfRegistry::OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  if (const Key* key = Find(root, path))
    if (!key->exists) return err::kFileNotFound;
  return Wrap(root, path, access, out);
}

Status WhatIfRegistry::CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) {
  if (ExistsNow(root, path)) return Wrap(root, path, access, out);
  const std::vector<std::string> parts = SplitPath(path, "\\");
  // Windows asks the nearest key there for the right to create below it.
  size_t there = parts.size();
  while (there > 0 && !ExistsNow(root, JoinPath(parts, there))) --there;
  const std::string parent = JoinPath(parts, there);
  const Key* made = Find(root, parent);
  if (!made || made->existed) {
    RegKeyPtr probe;
    if (Status status = target_.OpenKey(root, parent, RegAccess::kAllAccess, &probe)) return status;
  }
  for (size_t n = there + 1; n <= parts.size(); ++n) {
    Key& key = Entry(root, JoinPath(parts, n));
    key.exists = true;
    key.order = order_.Next();
  }
  return Wrap(root, path, access, out);
}

Status WhatIfRegistry::DeleteKey(RegRoot root, const std::string& path) {
  if (!ExistsNow(root, path)) return err::kFileNotFound;
  RegKeyPtr key;
  if (Status status = Wrap(root, path, RegAccess::kAllAccess, &key)) return status;
  uint32_t subkeys = 0;
  if (Status status = key->CountSubkeys(&subkeys)) return status;
  if (subkeys > 0) return err::kAccessDenied;
  Key& entry = Entry(root, path);
  entry.exists = false;
  entry.order = order_.Next();
  for (auto& value : entry.values) value.second.now.reset();
  return err::kSuccess;
}

// The registry's subkeys (none for a key the run would create), less the
// ones the run would remove, with the ones it would create in their place.
std::vector<std::string> WhatIfRegistry::Children(RegRoot root, const std::string& path, RegKey* inner) {
  std::vector<std::string> names;
  if (inner) static_cast<void>(ListSubkeys(*inner, &names));
  const std::string prefix = RegKeyIdentity(root, path) + "\\";
  for (auto& entry : keys_) {
    if (!StartsWith(entry.first, prefix) ||
        entry.first.find('\\', prefix.size()) != std::string::npos)
      continue;
    const std::string name = SplitPath(entry.second.path, "\\").back();
    const auto same = std::find_if(names.begin(), names.end(),
                                   [&](const std::string& n) { return EqualsNoCase(n, name); });
    if (!entry.second.exists && same != names.end()) names.erase(same);
    if (entry.second.exists && same == names.end())
      names.insert(std::upper_bound(names.begin(), names.end(), name, RegistryNameLess), name);
  }
  return names;
}

void WhatIfRegistry::AddChanges(NumberedChanges* changes) const {
  for (const auto& entry : keys_) {
    const Key& key = entry.second;
    if (key.existed != key.exists) {
      StoreChange change{StoreChange::Kind::kKey};
      change.root = key.root;
      change.path = key.path;
      if (key.existed) change.before = "";
      if (key.exists) change.after = "";
      changes->emplace_back(key.order, change);
    }
    if (!key.exists) continue;
    for (const auto& v : key.values) {
      const Value& value = v.second;
      if (SameValue(value.before, value.now)) continue;
      StoreChange change{StoreChange::Kind::kValue};
      change.root = key.root;
      change.path = key.path;
      change.name = value.name;
      if (value.before) change.before = value.before->data, change.value_type_before = value.before->type;
      if (value.now) change.after = value.now->data, change.value_type_after = value.now->type;
      changes->emplace_back(value.order, change);
    }
  }
}

}  // namespace pw
