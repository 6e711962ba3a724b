// The registry twin: keys in memory with Windows' rules (names compared without
// case but kept as written, subkeys enumerated in the registry's order, values
// stored byte for byte) and per-key denial of rights so failure paths can be
// reached.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace pw {

class MemoryRegistry : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status DeleteKey(RegRoot root, const std::string& path) override;

  // The key stays readable but cannot be opened with all-access rights, and
  // nothing can be created below it. (Windows checks the parent's rights when
  // a key is created below it; Wine does not, so the contract suite leaves
  // that part out.)
  void DenyWrite(RegRoot root, const std::string& path);
  // The key cannot be opened at all.
  void DenyAccess(RegRoot root, const std::string& path);

  // Seeding and inspection for tests; these bypass every denial.
  void Put(RegRoot root, const std::string& path, const std::string& name, uint32_t type,
           const std::string& data);
  void PutText(RegRoot root, const std::string& path, const std::string& name, const std::string& text);
  void PutDword(RegRoot root, const std::string& path, const std::string& name, uint32_t value);
  void PutKey(RegRoot root, const std::string& path);
  bool Get(RegRoot root, const std::string& path, const std::string& name, RegValue* out) const;
  bool HasKey(RegRoot root, const std::string& path) const;
  // Names of the values of a key, in the order they were first set.
  std::vector<std::string> ValueNames(RegRoot root, const std::string& path) const;

  struct Node;

 private:
  Node* Find(RegRoot root, const std::string& path) const;
  Node* Make(RegRoot root, const std::string& path);

  std::map<RegRoot, std::shared_ptr<Node>> roots_;
};

}  // namespace pw
