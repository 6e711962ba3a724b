// The file-system twin: folders and files in memory, Windows paths (either
// slash, names compared without case, kept as written), Win32 error codes.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace pw {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();
  ~MemoryFileSystem() override;

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

  // Seeding and inspection for tests. Putting a file makes its folders.
  void PutFile(const std::string& path, const std::string& bytes);
  void PutFolder(const std::string& path);
  // Marks an existing file read-only (or writable again).
  void SetReadOnly(const std::string& path, bool read_only = true);
  bool HasFile(const std::string& path) const;
  bool HasFolder(const std::string& path) const;
  std::string FileBytes(const std::string& path) const;  // empty when missing
  // Every file and folder below a folder (full paths as written), sorted.
  std::vector<std::string> Tree(const std::string& folder) const;

  struct Entry;

 private:
  Entry* Find(const std::string& path) const;
  Status Parent(const std::string& path, Entry** parent, std::string* name) const;
  Status OpenForWriting(const std::string& path, std::shared_ptr<Entry>* out);

  std::shared_ptr<Entry> root_;  // holds the drives
};

}  // namespace pw
