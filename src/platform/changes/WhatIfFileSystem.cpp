#include "platform/changes/WhatIfFileSystem.h"

#include <algorithm>

#include "platform/Text.h"

namespace pw {

namespace {

std::string ParentOf(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path, "\\/");
  return parts.empty() ? std::string() : JoinPath(parts, parts.size() - 1);
}

std::string NameOf(const std::string& path) {
  const std::vector<std::string> parts = SplitPath(path, "\\/");
  return parts.empty() ? std::string() : parts.back();
}

}  // namespace

// A file the overlay writes: its bytes go to the overlay's entry.
class WhatIfFile : public OutputFile {
 public:
  WhatIfFile(WhatIfFileSystem& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
  Status Write(std::string_view bytes) override {
    WhatIfFileSystem::Entry& entry = owner_.Touch(path_);
    entry.now.bytes.append(bytes);
    entry.now.last_write = ++owner_.clock_;
    return err::kSuccess;
  }
  Status Flush() override { return err::kSuccess; }
  Status Close() override { return err::kSuccess; }

 private:
  WhatIfFileSystem& owner_;
  std::string path_;
};

Status WhatIfFileSystem::Now(const std::string& path, Content* content) {
  const auto it = entries_.find(FilePathIdentity(path));
  if (it != entries_.end()) {
    *content = it->second.now;
    return err::kSuccess;
  }
  *content = Content();
  if (InNewFolder(path)) return err::kSuccess;
  FileAttributes attributes;
  const Status status = target_.ReadAttributes(path, &attributes);
  if (IsMissing(status)) return err::kSuccess;
  if (status) return status;
  content->exists = true;
  content->folder = attributes.folder;
  content->last_write = attributes.last_write;
  if (!attributes.folder) return target_.ReadAll(path, &content->bytes);
  return err::kSuccess;
}

WhatIfFileSystem::Entry& WhatIfFileSystem::Touch(const std::string& path) {
  const std::string id = FilePathIdentity(path);
  auto it = entries_.find(id);
  if (it == entries_.end()) {
    Entry entry;
    entry.path = path;
    static_cast<void>(Now(path, &entry.before));  // what cannot be read counts as not there
    entry.now = entry.before;
    entry.order = order_.Next();
    it = entries_.emplace(id, entry).first;
  }
  return it->second;
}

Status WhatIfFileSystem::ParentThere(const std::string& path) {
  Content parent;
  if (Status s = Now(ParentOf(path), &parent)) return s;
  return parent.exists && parent.folder ? err::kSuccess : err::kPathNotFound;
}

// A folder, or a read-only file, is not written.
Status WhatIfFileSystem::CanWrite(const std::string& path) {
  if (Status s = ParentThere(path)) return s;
  Content content;
  if (Status s = Now(path, &content)) return s;
  if (content.folder) return err::kAccessDenied;
  if (content.exists && entries_.find(FilePathIdentity(path)) == entries_.end()) {
    FileAttributes attributes;
    if (target_.ReadAttributes(path, &attributes) == err::kSuccess && attributes.read_only)
      return err::kAccessDenied;
  }
  return err::kSuccess;
}

void WhatIfFileSystem::Put(const std::string& path, Content content) { Touch(path).now = std::move(content); }

bool WhatIfFileSystem::InNewFolder(const std::string& path) const {
  for (std::string folder = ParentOf(path); !folder.empty(); folder = ParentOf(folder)) {
    const auto it = entries_.find(FilePathIdentity(folder));
    if (it != entries_.end()) return it->second.now.exists && !it->second.before.exists;
  }
  return false;
}

Status WhatIfFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  if (entries_.find(FilePathIdentity(path)) == entries_.end())
    return InNewFolder(path) ? err::kFileNotFound : target_.ReadAll(path, bytes);
  if (Status s = ParentThere(path)) return s;
  const Content& now = entries_.at(FilePathIdentity(path)).now;
  if (!now.exists) return err::kFileNotFound;
  if (now.folder) return err::kAccessDenied;
  *bytes = now.bytes;
  return err::kSuccess;
}

Status WhatIfFileSystem::ReadAttributes(const std::string& path, FileAttributes* attributes) {
  if (entries_.find(FilePathIdentity(path)) == entries_.end())
    return InNewFolder(path) ? err::kFileNotFound : target_.ReadAttributes(path, attributes);
  if (Status s = ParentThere(path)) return s;
  const Content& now = entries_.at(FilePathIdentity(path)).now;
  if (!now.exists) return err::kFileNotFound;
  *attributes = FileAttributes{now.folder, false, now.folder ? 0 : now.bytes.size(), now.last_write};
  return err::kSuccess;
}

Status WhatIfFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  if (Status s = CanWrite(path)) return s;
  Entry& entry = Touch(path);
  entry.now.exists = true;
  entry.now.last_write = ++clock_;
  *out = std::make_unique<WhatIfFile>(*this, path);
  return err::kSuccess;
}

Status WhatIfFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  if (Status s = CanWrite(path)) return s;
  Put(path, Content{true, false, "", ++clock_});
  *out = std::make_unique<WhatIfFile>(*this, path);
  return err::kSuccess;
}

Status WhatIfFileSystem::Replace(const std::string& from, const std::string& to) {
  Content source;
  if (Status s = ParentThere(from)) return s;
  if (Status s = Now(from, &source)) return s;
  if (!source.exists) return err::kFileNotFound;
  if (Status s = ParentThere(to)) return s;
  Content target;
  if (Status s = Now(to, &target)) return s;
  if (target.folder) return err::kAccessDenied;
  Put(to, source);
  Put(from, Content());
  return err::kSuccess;
}

Status WhatIfFileSystem::Copy(const std::string& from, const std::string& to) {
  Content source;
  if (Status s = ParentThere(from)) return s;
  if (Status s = Now(from, &source)) return s;
  if (!source.exists) return err::kFileNotFound;
  if (source.folder) return err::kAccessDenied;
  if (Status s = CanWrite(to)) return s;
  Put(to, source);
  return err::kSuccess;
}

Status WhatIfFileSystem::Remove(const std::string& path) {
  if (Status s = ParentThere(path)) return s;
  Content content;
  if (Status s = Now(path, &content)) return s;
  if (!content.exists) return err::kFileNotFound;
  if (Status s = CanWrite(path)) return s;
  Put(path, Content());
  return err::kSuccess;
}

Status WhatIfFileSystem::MakeFolder(const std::string& path) {
  if (Status s = ParentThere(path)) return s;
  Content content;
  if (Status s = Now(path, &content)) return s;
  if (content.exists) return err::kAlreadyExists;
  Put(path, Content{true, true, "", 0});
  return err::kSuccess;
}

Status WhatIfFileSystem::RemoveFolder(const std::string& path) {
  if (Status s = ParentThere(path)) return s;
  Content content;
  if (Status s = Now(path, &content)) return s;
  if (!content.exists) return err::kFileNotFound;
  if (!content.folder) return err::kDirectory;
  std::vector<std::string> names;
  const Status listed = List(path + "\\*", &names);
  if (listed == err::kSuccess) return err::kDirNotEmpty;
  Put(path, Content());
  return err::kSuccess;
}

// The folder's listing with what the overlay added and removed, sorted as
// the backends sort it.
Status WhatIfFileSystem::List(const std::string& pattern, std::vector<std::string>* names) {
  const std::string folder = ParentOf(pattern);
  const std::string wildcard = NameOf(pattern);
  Content there;
  if (Status s = Now(folder, &there)) return s;
  if (!there.exists || !there.folder) return err::kPathNotFound;
  std::vector<std::string> listed;
  const Status status = target_.List(pattern, &listed);
  if (status && !IsMissing(status)) return status;
  const std::string prefix = FilePathIdentity(folder) + "\\";
  for (const auto& entry : entries_) {
    if (!StartsWith(entry.first, prefix) ||
        entry.first.find('\\', prefix.size()) != std::string::npos)
      continue;
    const std::string name = NameOf(entry.second.path);
    if (!WildcardMatch(wildcard, name)) continue;
    const auto same = std::find_if(listed.begin(), listed.end(),
                                   [&](const std::string& n) { return EqualsNoCase(n, name); });
    if (!entry.second.now.exists && same != listed.end()) listed.erase(same);
    if (entry.second.now.exists && same == listed.end()) listed.push_back(name);
  }
  if (listed.empty()) return err::kFileNotFound;
  std::sort(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
    const std::string upper_a = UpperCaseText(a), upper_b = UpperCaseText(b);
    return upper_a != upper_b ? upper_a < upper_b : a < b;
  });
  names->swap(listed);
  return err::kSuccess;
}

void WhatIfFileSystem::AddChanges(NumberedChanges* changes) const {
  for (const auto& e : entries_) {
    const Entry& entry = e.second;
    const Content& before = entry.before;
    const Content& now = entry.now;
    const bool folder = before.exists ? before.folder : now.folder;
    if (before.exists == now.exists && before.folder == now.folder && before.bytes == now.bytes) continue;
    // A file that takes a folder's place, or the other way, is two changes.
    if (before.exists && now.exists && before.folder != now.folder) {
      StoreChange gone{before.folder ? StoreChange::Kind::kFolder : StoreChange::Kind::kFile};
      gone.path = entry.path;
      gone.before = before.folder ? "" : before.bytes;
      changes->emplace_back(entry.order, gone);
      StoreChange made{now.folder ? StoreChange::Kind::kFolder : StoreChange::Kind::kFile};
      made.path = entry.path;
      made.after = now.folder ? "" : now.bytes;
      changes->emplace_back(entry.order, made);
      continue;
    }
    StoreChange change{folder ? StoreChange::Kind::kFolder : StoreChange::Kind::kFile};
    change.path = entry.path;
    if (before.exists) change.before = folder ? "" : before.bytes;
    if (now.exists) change.after = folder ? "" : now.bytes;
    changes->emplace_back(entry.order, change);
  }
}

}  // namespace pw
