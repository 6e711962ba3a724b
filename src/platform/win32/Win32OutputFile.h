// A file handle open for writing; destroying it closes the handle unchecked.
#pragma once

#include <windows.h>

#include "platform/FileSystem.h"

namespace pw {

class Win32OutputFile : public OutputFile {
 public:
  explicit Win32OutputFile(HANDLE file) : file_(file) {}
  ~Win32OutputFile() override;

  Status Write(std::string_view bytes) override;
  Status Flush() override;
  Status Close() override;

 private:
  HANDLE file_;
};

}  // namespace pw
