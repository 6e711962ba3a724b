// The forwarding base for the file system's decorators (the change guard,
// fault injection, the what-if overlay, the run's journal): every call goes
// to the wrapped file system unless the decorator overrides it.
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace pw {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& target) : target_(target) {}

  Status ReadAll(const std::string& path, std::string* bytes) override { return target_.ReadAll(path, bytes); }
  Status ReadAttributes(const std::string& path, FileAttributes* attributes) override {
    return target_.ReadAttributes(path, attributes);
  }
  Status OpenAppend(const std::string& path, OutputFilePtr* out) override { return target_.OpenAppend(path, out); }
  Status OpenNew(const std::string& path, OutputFilePtr* out) override { return target_.OpenNew(path, out); }
  Status Replace(const std::string& from, const std::string& to) override { return target_.Replace(from, to); }
  Status Remove(const std::string& path) override { return target_.Remove(path); }
  Status MakeFolder(const std::string& path) override { return target_.MakeFolder(path); }
  Status RemoveFolder(const std::string& path) override { return target_.RemoveFolder(path); }
  Status List(const std::string& pattern, std::vector<std::string>* names) override {
    return target_.List(pattern, names);
  }
  Status Copy(const std::string& from, const std::string& to) override { return target_.Copy(from, to); }

 protected:
  FileSystem& target() { return target_; }

 private:
  FileSystem& target_;
};

}  // namespace pw
