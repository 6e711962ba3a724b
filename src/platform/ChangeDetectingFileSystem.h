// Someone else may change a client's settings file between our reading it and
// our putting the new content in its place: the client itself, a sync tool, a
// second Postwright started by a logon script. Replacing it then would throw
// their change away. This wrapper remembers what each file held when it was
// read (or that it was missing) and refuses to replace, remove or overwrite it
// once it holds something else: such calls fail with kFileChanged and leave
// the file as it is. What a file held is kept as its size and a 64-bit hash
// of its bytes, not as a copy: a settings file may be a hundred megabytes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace pw {

namespace err {
// ERROR_FILE_INVALID: "the file has been altered externally".
constexpr Status kFileChanged{1006};
}  // namespace err

class ChangeDetectingFileSystem : public FileSystem {
 public:
  explicit ChangeDetectingFileSystem(FileSystem& inner) : inner_(inner) {}

  Status ReadAll(const std::string& path, std::string* bytes) override;
  Status ReadAttributes(const std::string& path, FileAttributes* attributes) override;
  Status OpenAppend(const std::string& path, OutputFilePtr* out) override;
  Status OpenNew(const std::string& path, OutputFilePtr* out) override;
  Status Replace(const std::string& from, const std::string& to) override;
  Status Remove(const std::string& path) override;
  Status MakeFolder(const std::string& path) override;
  Status RemoveFolder(const std::string& path) override;
  Status List(const std::string& pattern, std::vector<std::string>* names) override;

 private:
  struct Fingerprint {
    uint64_t size = 0;
    uint64_t hash = 0;
    void Add(const std::string& bytes);
    bool operator==(const Fingerprint& other) const { return size == other.size && hash == other.hash; }
  };
  class FingerprintingFile;
  static Fingerprint Of(const std::string& bytes);

  // 0 when `path` still holds what it held when it was read, or was never read.
  Status Unchanged(const std::string& path);
  // Remembers what `path` holds now (after our own change to it).
  void Remember(const std::string& path);

  FileSystem& inner_;
  // By path in upper case with backslashes; empty optional: the file was missing.
  std::map<std::string, std::optional<Fingerprint>> seen_;
  // What this run is writing into each new file, so the file it replaces
  // another with need not be read again.
  std::map<std::string, std::shared_ptr<Fingerprint>> writing_;
};

}  // namespace pw
