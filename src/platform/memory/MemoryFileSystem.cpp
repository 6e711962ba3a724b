#include "platform/memory/MemoryFileSystem.h"

#include <algorithm>
#include <atomic>

#include "platform/Text.h"

namespace pw {

struct MemoryFileSystem::Entry {
  std::string name;
  bool folder = false;
  // Opening it for writing and removing it are refused; replacing it is not, as under Wine.
  bool read_only = false;
  std::string bytes;
  // The twin's last-write time: a count of changes, the same for no two.
  uint64_t last_write = 0;
  void Changed() {
    static std::atomic<uint64_t> changes{0};
    last_write = ++changes;
  }
  // Open output files. Like a Windows program's, a writer lets others read
  // the file but not write, delete or rename it.
  int writers = 0;
  std::vector<std::shared_ptr<Entry>> children;

  std::shared_ptr<Entry> Child(const std::string& child_name) const {
    for (const auto& c : children)
      if (EqualsNoCase(c->name, child_name)) return c;
    return nullptr;
  }
};

namespace {

std::vector<std::string> SplitPath(const std::string& path) { return pw::SplitPath(path, "\\/"); }

class MemoryOutputFile : public OutputFile {
 public:
  explicit MemoryOutputFile(std::shared_ptr<MemoryFileSystem::Entry> file) : file_(std::move(file)) {
    ++file_->writers;
  }
  ~MemoryOutputFile() override {
    if (file_) --file_->writers;
  }
  Status Write(std::string_view bytes) override {
    if (!file_) return err::kInvalidHandle;
    file_->bytes += bytes;
    file_->Changed();
    return err::kSuccess;
  }
  Status Flush() override { return file_ ? err::kSuccess : err::kInvalidHandle; }
  Status Close() override {
    if (!file_) return err::kInvalidHandle;
    --file_->writers;
    file_.reset();
    return err::kSuccess;
  }

 private:
  std::shared_ptr<MemoryFileSystem::Entry> file_;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() : root_(std::make_shared<Entry>()) {
  root_->folder = true;
  PutFolder("C:\\");
}

MemoryFileSystem::~MemoryFileSystem() = default;

MemoryFileSystem::Entry* MemoryFileSystem::Find(const std::string& path) const {
  Entry* entry = root_.get();
  for (const std::string& part : SplitPath(path)) {
    if (!entry->folder) return nullptr;
    entry = entry->Child(part).get();
    if (!entry) return nullptr;
  }
  return entry;
}

Status MemoryFileSystem::Parent(const std::string& path, Entry** parent, std::string* name) const {
  std::vector<std::string> parts = SplitPath(path);
  if (parts.size() < 2) return err::kAccessDenied;  // a drive itself
  *name = parts.back();
  parts.pop_back();
  Entry* entry = root_.get();
  for (const std::string& part : parts) {
    entry = entry->Child(part).get();
    if (!entry || !entry->folder) return err::kPathNotFound;
  }
  *parent = entry;
  return err::kSuccess;
}

Status MemoryFileSystem::ReadAll(const std::string& path, std::string* bytes) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  auto file = parent->Child(name);
  if (!file) return err::kFileNotFound;
  if (file->folder) return err::kAccessDenied;
  *bytes = file->bytes;
  return err::kSuccess;
}

Status MemoryFileSystem::ReadAttributes(const std::string& path, FileAttributes* attributes) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  auto entry = parent->Child(name);
  if (!entry) return err::kFileNotFound;
  attributes->folder = entry->folder;
  attributes->read_only = entry->read_only;
  attributes->size = entry->folder ? 0 : entry->bytes.size();
  attributes->last_write = entry->last_write;
  return err::kSuccess;
}

// The file to write at `path`, created when missing; a folder, a read-only
// file or a file that another writer holds cannot be opened.
Status MemoryFileSystem::OpenForWriting(const std::string& path, std::shared_ptr<Entry>* out) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  auto file = parent->Child(name);
  if (file && (file->folder || file->read_only)) return err::kAccessDenied;
  if (file && file->writers > 0) return err::kSharingViolation;
  if (!file) {
    file = std::make_shared<Entry>();
    file->name = name;
    file->Changed();
    parent->children.push_back(file);
  }
  *out = file;
  return err::kSuccess;
}

Status MemoryFileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  std::shared_ptr<Entry> file;
  if (Status s = OpenForWriting(path, &file)) return s;
  *out = std::make_unique<MemoryOutputFile>(file);
  return err::kSuccess;
}

Status MemoryFileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  std::shared_ptr<Entry> file;
  if (Status s = OpenForWriting(path, &file)) return s;
  file->bytes.clear();
  file->Changed();
  *out = std::make_unique<MemoryOutputFile>(file);
  return err::kSuccess;
}

Status MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
  Entry* from_parent = nullptr;
  std::string from_name;
  if (Status s = Parent(from, &from_parent, &from_name)) return s;
  auto source = from_parent->Child(from_name);
  if (!source) return err::kFileNotFound;
  if (source->writers > 0) return err::kSharingViolation;
  Entry* to_parent = nullptr;
  std::string to_name;
  if (Status s = Parent(to, &to_parent, &to_name)) return s;
  if (source.get() == to_parent->Child(to_name).get()) return err::kSuccess;
  if (auto target = to_parent->Child(to_name)) {
    // An open target cannot be replaced; Windows calls that access denied.
    if (target->folder || target->writers > 0) return err::kAccessDenied;
    auto& siblings = to_parent->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), target));
  }
  auto& old_siblings = from_parent->children;
  old_siblings.erase(std::find(old_siblings.begin(), old_siblings.end(), source));
  source->name = to_name;
  to_parent->children.push_back(source);
  return err::kSuccess;
}

// The copy is a new write of the target, as Windows makes it, but keeps the
// source's last-write time.
Status MemoryFileSystem::Copy(const std::string& from, const std::string& to) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(from, &parent, &name)) return s;
  auto source = parent->Child(name);
  if (!source) return err::kFileNotFound;
  if (source->folder) return err::kAccessDenied;
  std::shared_ptr<Entry> target;
  if (source.get() == Find(to)) return err::kSharingViolation;
  if (Status s = OpenForWriting(to, &target)) return s;
  target->bytes = source->bytes;
  target->last_write = source->last_write;
  return err::kSuccess;
}

Status MemoryFileSystem::Remove(const std::string& path) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  auto file = parent->Child(name);
  if (!file) return err::kFileNotFound;
  if (file->folder || file->read_only) return err::kAccessDenied;
  if (file->writers > 0) return err::kSharingViolation;
  parent->children.erase(std::find(parent->children.begin(), parent->children.end(), file));
  return err::kSuccess;
}

Status MemoryFileSystem::MakeFolder(const std::string& path) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  if (parent->Child(name)) return err::kAlreadyExists;
  auto folder = std::make_shared<Entry>();
  folder->name = name;
  folder->folder = true;
  parent->children.push_back(folder);
  return err::kSuccess;
}

Status MemoryFileSystem::RemoveFolder(const std::string& path) {
  Entry* parent = nullptr;
  std::string name;
  if (Status s = Parent(path, &parent, &name)) return s;
  auto folder = parent->Child(name);
  if (!folder) return err::kFileNotFound;
  if (!folder->folder) return err::kDirectory;
  if (!folder->children.empty()) return err::kDirNotEmpty;
  parent->children.erase(std::find(parent->children.begin(), parent->children.end(), folder));
  return err::kSuccess;
}

Status MemoryFileSystem::List(const std::string& pattern, std::vector<std::string>* names) {
  Entry* parent = nullptr;
  std::string wildcard;
  if (Status s = Parent(pattern, &parent, &wildcard)) return s;
  names->clear();
  for (const auto& child : parent->children)
    if (WildcardMatch(wildcard, child->name)) names->push_back(child->name);
  if (names->empty()) return err::kFileNotFound;
  std::sort(names->begin(), names->end(),
            [](const std::string& a, const std::string& b) { return UpperCaseText(a) < UpperCaseText(b); });
  return err::kSuccess;
}

void MemoryFileSystem::PutFolder(const std::string& path) {
  Entry* entry = root_.get();
  for (const std::string& part : SplitPath(path)) {
    auto child = entry->Child(part);
    if (!child) {
      child = std::make_shared<Entry>();
      child->name = part;
      child->folder = true;
      entry->children.push_back(child);
    }
    entry = child.get();
  }
}

void MemoryFileSystem::PutFile(const std::string& path, const std::string& bytes) {
  std::vector<std::string> parts = SplitPath(path);
  std::string name = parts.back();
  parts.pop_back();
  std::string folder;
  for (const auto& p : parts) folder += p + "\\";
  PutFolder(folder);
  Entry* parent = Find(folder);
  auto file = parent->Child(name);
  if (!file) {
    file = std::make_shared<Entry>();
    file->name = name;
    parent->children.push_back(file);
  }
  file->bytes = bytes;
  file->Changed();
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool read_only) {
  if (Entry* entry = Find(path)) entry->read_only = read_only;
}

bool MemoryFileSystem::HasFile(const std::string& path) const {
  Entry* entry = Find(path);
  return entry && !entry->folder;
}

bool MemoryFileSystem::HasFolder(const std::string& path) const {
  Entry* entry = Find(path);
  return entry && entry->folder;
}

std::string MemoryFileSystem::FileBytes(const std::string& path) const {
  Entry* entry = Find(path);
  return entry && !entry->folder ? entry->bytes : std::string();
}

std::vector<std::string> MemoryFileSystem::Tree(const std::string& folder) const {
  std::vector<std::string> paths;
  Entry* start = Find(folder);
  if (!start) return paths;
  std::string base = folder;
  while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  struct Walker {
    std::vector<std::string>* out;
    void Walk(const Entry* e, const std::string& prefix) {
      for (const auto& c : e->children) {
        out->push_back(prefix + "\\" + c->name + (c->folder ? "\\" : ""));
        if (c->folder) Walk(c.get(), prefix + "\\" + c->name);
      }
    }
  } walker{&paths};
  walker.Walk(start, base);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace pw
