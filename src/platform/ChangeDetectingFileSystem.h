// Someone else may change a client's settings file between our reading it and
// our putting the new content in its place: the client itself, a sync tool, a
// second Postwright started by a logon script. Replacing it then would throw
// their change away. This wrapper remembers what each file held when it was
// read (or that it was missing) and refuses to replace, remove or overwrite it
// once it holds something else: such calls fail with kFileChanged and leave
// the file as it is. What a file held is told by its size and last-write time,
// taken before it is read (a change during the read counts as a change), so
// the check reads no file a second time: a settings file may be a hundred
// megabytes. A file system whose times are coarse (FAT keeps two seconds)
// could hide a change of the same size within one tick; NTFS keeps 100 ns.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/ForwardingFileSystem.h"

namespace pw {

class ChangeDetectingFileSystem : public ForwardingFileSystem {
 public:
  explicit ChangeDetectingFileSystem(FileSystem& target) : ForwardingFileSystem(target) {}

  Status ReadAll(const std::string& path, std::string* bytes) override;
  Status OpenAppend(const std::string& path, OutputFilePtr* out) override;
  Status OpenNew(const std::string& path, OutputFilePtr* out) override;
  Status Replace(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status Copy(const std::string& from, const std::string& to) override;

 private:
  struct Stamp {
    uint64_t size = 0;
    uint64_t last_write = 0;
    bool known = true;  // false: the stamp could not be read, and matches none
    bool operator==(const Stamp& other) const {
      return known && other.known && size == other.size && last_write == other.last_write;
    }
  };
  // The stamp of `path` now; an empty optional when it is missing.
  Status StampOf(const std::string& path, std::optional<Stamp>* stamp);
  // 0 when `path` still holds what it held when it was read, or was never read.
  Status Unchanged(const std::string& path);

  // By path in upper case with backslashes; empty optional: the file was missing.
  std::map<std::string, std::optional<Stamp>> seen_;
};

}  // namespace pw
