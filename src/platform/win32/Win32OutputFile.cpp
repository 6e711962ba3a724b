#include "platform/win32/Win32OutputFile.h"

#include "platform/win32/Win32Io.h"

namespace pw {

Win32OutputFile::~Win32OutputFile() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

Status Win32OutputFile::Write(std::string_view bytes) {
  if (file_ == INVALID_HANDLE_VALUE) return err::kInvalidHandle;
  return WriteWhole(file_, bytes);
}

Status Win32OutputFile::Flush() {
  if (file_ == INVALID_HANDLE_VALUE) return err::kInvalidHandle;
  return Checked(FlushFileBuffers(file_));
}

Status Win32OutputFile::Close() {
  if (file_ == INVALID_HANDLE_VALUE) return err::kInvalidHandle;
  HANDLE file = file_;
  file_ = INVALID_HANDLE_VALUE;
  return Checked(CloseHandle(file));
}

}  // namespace pw
