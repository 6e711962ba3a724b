// The file system as a what-if run sees it: every change is kept here instead
// of being made, and every read answers with what the change would have left.
// Paths are compared as Windows compares them (either slash, letter case
// aside).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/changes/ChangeOrder.h"
#include "platform/changes/StoreChange.h"

namespace pw {

class WhatIfFileSystem : public FileSystem {
 public:
  WhatIfFileSystem(FileSystem& target, ChangeOrder& order) : target_(target), order_(order) {}

  Status ReadAll(const std::string& path, std::string* bytes) override;
  Status ReadAttributes(const std::string& path, FileAttributes* attributes) override;
  Status OpenAppend(const std::string& path, OutputFilePtr* out) override;
  Status OpenNew(const std::string& path, OutputFilePtr* out) override;
  Status Replace(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status MakeFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status List(const std::string& pattern, std::vector<std::string>* names) override;
  Status Copy(const std::string& from, const std::string& to) override;

  // What would have changed, each with the number of its first change.
  void AddChanges(NumberedChanges* changes) const;

 private:
  friend class WhatIfFile;

  // What a path holds: nothing, a folder, or a file and its bytes.
  struct Content {
    bool exists = false;
    bool folder = false;
    std::string bytes;
    uint64_t last_write = 0;
  };
  struct Entry {
    std::string path;  // as first written
    Content before;
    Content now;
    uint64_t order = 0;
  };

  // What the path holds now, and whether it can be read.
  Status Now(const std::string& path, Content* content);
  Entry& Touch(const std::string& path);
  // Whether `path` lies in a folder the overlay made (so the disk has nothing there).
  bool InNewFolder(const std::string& path) const;
  // 0 when the folder of `path` is there; 3 when not.
  Status ParentThere(const std::string& path);
  Status CanWrite(const std::string& path);
  void Put(const std::string& path, Content content);

  FileSystem& target_;
  ChangeOrder& order_;
  std::map<std::string, Entry> entries_;  // by canonical path
  uint64_t clock_ = 1ull << 62;           // last-write times of what the overlay writes
};

}  // namespace pw
