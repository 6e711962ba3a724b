// Files and folders with Windows paths (drive letters, backslashes or slashes,
// names compared without regard to letter case). Bytes in, bytes out: there is
// no text mode anywhere.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"

namespace pw {

// A file open for writing. Destroying it closes it without reporting. While it
// is open, others may read the file but not open it for writing or remove or
// move it (32, sharing violation), nor replace it by another file (5).
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  virtual ~OutputFile() = default;

  virtual Status Write(std::string_view bytes) = 0;
  // Pushes written bytes to the disk.
  virtual Status Flush() = 0;
  virtual Status Close() = 0;
};

using OutputFilePtr = std::unique_ptr<OutputFile>;

// What a file or folder is marked with. A read-only file can be read but not
// removed (5); Windows also refuses to write or replace it (5), where Wine lets
// it be replaced and, run as root, written: a caller that must not change such
// a file reads its attributes first.
struct FileAttributes {
  bool folder = false;
  bool read_only = false;
  // A file's size in bytes and its last-write time (Windows' 100-nanosecond
  // ticks), which every write changes and a move keeps. Together they tell
  // whether a file was changed since they were read, without reading it.
  uint64_t size = 0;
  uint64_t last_write = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Missing file: 2; missing folder on the way: 3.
  virtual Status ReadAll(const std::string& path, std::string* bytes) = 0;
  // Missing: 2; missing folder on the way: 3.
  virtual Status ReadAttributes(const std::string& path, FileAttributes* attributes) = 0;
  // Opens (or creates) a file and writes at its end.
  virtual Status OpenAppend(const std::string& path, OutputFilePtr* out) = 0;
  // Creates a file, truncating one that exists.
  virtual Status OpenNew(const std::string& path, OutputFilePtr* out) = 0;
  // Moves `from` over `to` in one step; `to` need not exist.
  virtual Status Replace(const std::string& from, const std::string& to) = 0;
  virtual Status Remove(const std::string& path) = 0;
  // Creates one folder; its parent must exist. An existing folder: 183.
  virtual Status MakeFolder(const std::string& path) = 0;
  // Removes one empty folder. Not empty: 145; a file: 267; missing: 2.
  virtual Status RemoveFolder(const std::string& path) = 0;
  // Names (not paths) of the entries matching a wildcard such as
  // "C:\dir\account*", sorted; "." and ".." are never listed. No match: 2;
  // missing folder: 3.
  virtual Status List(const std::string& pattern, std::vector<std::string>* names) = 0;
  // Copies the file `from` to `to`, replacing a file there; the copy keeps
  // the original's last-write time. Missing `from`: 2; missing folder: 3.
  virtual Status Copy(const std::string& from, const std::string& to) = 0;
};

}  // namespace pw
