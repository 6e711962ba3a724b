// Remembers how registry keys and values stood before a writer changes them, so
// that a write failing halfway can put everything back and the user is left
// with what they had, not with a half-written account.
#pragma once

#include <string>
#include <vector>

#include "platform/Registry.h"

namespace pw {

class RegistryUndo {
 public:
  explicit RegistryUndo(Registry& registry) : registry_(registry) {}

  // Call these before changing anything.
  // Notes which keys along `path` do not exist yet, so Undo removes them.
  void RememberKey(RegRoot root, const std::string& path);
  // Notes the current type and bytes (or absence) of each named value of
  // `path`. A failure means the old state is not known, so nothing may be
  // changed.
  Status RememberValues(RegRoot root, const std::string& path, const std::vector<std::string>& names);

  // Restores every value and removes every key remembered, newest first. Keeps
  // going past a failure and returns the first one.
  Status Undo();

 private:
  struct Entry {
    RegRoot root;
    std::string path;
    bool is_key;         // a key that did not exist
    std::string name;    // a value's name
    bool existed;        // the value's old state
    RegValue old_value;
  };

  Status UndoValue(const Entry& entry);

  Registry& registry_;
  std::vector<Entry> entries_;
};

}  // namespace pw
