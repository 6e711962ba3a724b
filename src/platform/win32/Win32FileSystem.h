// Files and folders through the wide functions of kernel32; paths are UTF-8
// at the seam.
#pragma once

#include "platform/FileSystem.h"

namespace pw {

class Win32FileSystem : public FileSystem {
 public:
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
};

}  // namespace pw
