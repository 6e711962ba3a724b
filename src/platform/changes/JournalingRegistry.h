// The registry with every first change of a key or value announced to a
// ChangeJournal before it is made.
#pragma once

#include <set>
#include <string>

#include "platform/ForwardingRegistry.h"
#include "platform/changes/ChangeJournal.h"

namespace pw {

class JournalingRegistry : public ForwardingRegistry {
 public:
  JournalingRegistry(Registry& target, ChangeJournal& journal) : ForwardingRegistry(target), journal_(journal) {}

  Status OpenKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status CreateKey(RegRoot root, const std::string& path, RegAccess access, RegKeyPtr* out) override;
  Status DeleteKey(RegRoot root, const std::string& path) override;

 private:
  friend class JournalingKey;
  // Keeps how the key stood, once; its answer when it cannot.
  Status KeepKey(RegRoot root, const std::string& path);
  Status KeepValue(RegRoot root, const std::string& path, const std::string& name);
  Status Wrap(RegRoot root, const std::string& path, RegKeyPtr key, RegKeyPtr* out);

  ChangeJournal& journal_;
  std::set<std::string> kept_;  // keys and values, by upper-cased name
};

}  // namespace pw
