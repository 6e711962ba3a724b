#include "platform/win32/Win32OutputFile.h"

namespace pw {

namespace {

// WriteFile takes a 32-bit count; larger writes go in pieces.
constexpr size_t kMaxChunk = 1u << 30;

}  // namespace

Win32OutputFile::~Win32OutputFile() {
  if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

Status Win32OutputFile::Write(const std::string& bytes) {
  if (file_ == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  size_t done = 0;
  while (done < bytes.size()) {
    const size_t chunk = bytes.size() - done < kMaxChunk ? bytes.size() - done : kMaxChunk;
    DWORD written = 0;
    if (!WriteFile(file_, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;  // a disk that takes nothing would loop forever
    done += written;
  }
  return ERROR_SUCCESS;
}

Status Win32OutputFile::Flush() {
  if (file_ == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  return FlushFileBuffers(file_) ? ERROR_SUCCESS : GetLastError();
}

Status Win32OutputFile::Close() {
  if (file_ == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  HANDLE file = file_;
  file_ = INVALID_HANDLE_VALUE;
  return CloseHandle(file) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace pw
