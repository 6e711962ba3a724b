#include "clients/registry/RegistryUndo.h"

namespace pw {

namespace {

// "A\B\C\" gives "A", "A\B", "A\B\C".
std::vector<std::string> KeyPathPrefixes(const std::string& path) {
  std::vector<std::string> prefixes;
  std::string prefix;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') {
      if (!prefix.empty() && prefix.back() != '\\') prefixes.push_back(prefix);
    }
    if (i < path.size()) prefix += path[i];
  }
  return prefixes;
}

}  // namespace

void RegistryUndo::RememberKey(RegRoot root, const std::string& path) {
  bool missing = false;
  for (const std::string& prefix : KeyPathPrefixes(path)) {
    if (!missing) {
      RegKeyPtr key;
      // Any other answer (even a denial) means the key is there.
      missing = registry_.OpenKey(root, prefix, RegAccess::kRead, &key) == err::kFileNotFound;
    }
    if (missing) entries_.push_back(Entry{root, prefix, true, std::string(), false, RegValue()});
  }
}

Status RegistryUndo::RememberValues(RegRoot root, const std::string& path, const std::vector<std::string>& names) {
  RegKeyPtr key;
  const Status open = registry_.OpenKey(root, path, RegAccess::kRead, &key);
  if (open != err::kSuccess && open != err::kFileNotFound) return open;
  for (const std::string& name : names) {
    Entry entry{root, path, false, name, false, RegValue()};
    if (key) {
      const Status query = key->QueryValue(name, &entry.old_value);
      if (query != err::kSuccess && query != err::kFileNotFound) return query;
      entry.existed = query == err::kSuccess;
    }
    entries_.push_back(entry);
  }
  return err::kSuccess;
}

Status RegistryUndo::Undo() {
  Status first = err::kSuccess;
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
    Status status = it->is_key ? registry_.DeleteKey(it->root, it->path) : UndoValue(*it);
    if (status == err::kFileNotFound) status = err::kSuccess;  // never made, or already gone
    if (first == err::kSuccess) first = status;
  }
  entries_.clear();
  return first;
}

// Touches only what differs, so a value the failed write never reached needs
// no rights to "restore".
Status RegistryUndo::UndoValue(const Entry& entry) {
  RegKeyPtr key;
  if (Status status = registry_.OpenKey(entry.root, entry.path, RegAccess::kRead, &key)) return status;
  RegValue now;
  const Status query = key->QueryValue(entry.name, &now);
  if (query != err::kSuccess && query != err::kFileNotFound) return query;
  const bool exists = query == err::kSuccess;
  if (exists == entry.existed && (!exists || (now.type == entry.old_value.type && now.data == entry.old_value.data)))
    return err::kSuccess;

  if (Status status = registry_.OpenKey(entry.root, entry.path, RegAccess::kAllAccess, &key)) return status;
  if (entry.existed) return key->SetValue(entry.name, entry.old_value.type, entry.old_value.data);
  return key->DeleteValue(entry.name);
}

}  // namespace pw
