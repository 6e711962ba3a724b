// Forwarding bases for the registry's decorators (fault injection, the
// what-if overlay, the run's journal): every call goes to the wrapped
// registry or key unless the decorator overrides it, so a decorator says only
// what it does differently.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace pw {

class ForwardingRegKey : public RegKey {
 public:
  explicit ForwardingRegKey(RegKeyPtr target) : target_(std::move(target)) {}

  Status QueryValue(const std::string& name, RegValue* out) override { return target_->QueryValue(name, out); }
  Status SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    return target_->SetValue(name, type, data);
  }
  Status DeleteValue(const std::string& name) override { return target_->DeleteValue(name); }
  Status EnumSubkey(uint32_t index, std::string* name) override { return target_->EnumSubkey(index, name); }
  Status CountSubkeys(uint32_t* count) override { return target_->CountSubkeys(count); }
  Status CountValues(uint32_t* count) override { return target_->CountValues(count); }

 protected:
  RegKey& target() { return *target_; }

 private:
  RegKeyPtr target_;
};

class ForwardingRegistry : public Registry {
 public:
  explicit ForwardingRegistry(Registry& target) : target_(target) {}

  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override {
    return target_.OpenKey(root, path, access, out);
  }
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override {
    return target_.CreateKey(root, path, access, out);
  }
  Status DeleteKey(RegRoot root, const std::string& path) override { return target_.DeleteKey(root, path); }

 protected:
  Registry& target() { return target_; }

 private:
  Registry& target_;
};

}  // namespace pw
