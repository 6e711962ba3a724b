// What every part of the Win32 backend needs: the last error as a Status, a
// write that puts every byte out, a read of a value of unknown length, and
// the conversion between the program's UTF-8 and the wide functions' UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"

namespace pw {

inline Status LastError() { return StatusOf(GetLastError()); }
// The answer of a call that reports success as TRUE and failure through GetLastError.
inline Status Checked(BOOL succeeded) { return succeeded ? err::kSuccess : LastError(); }

// The seam's text for a wide function, and back.
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text, size_t length);
inline std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }
inline std::string Narrow(const wchar_t* text) { return Narrow(std::wstring(text)); }

// Writes every byte, in pieces the handle takes (a console takes no more
// than about 64 KiB at a time).
Status WriteWhole(HANDLE handle, std::string_view bytes);

// Reads a value whose length is known only when it is read. `read(buffer,
// size, &length)` fills a buffer of `size` bytes and sets `length` to what it
// holds, or answers kMoreData and sets `length` to what it needs (or leaves
// it, when the call cannot tell). The buffer grows until the value fits; a
// value that keeps growing under us is given up after a few tries.
template <typename Read>
Status ReadGrowing(DWORD first_size, Read read, std::string* out) {
  constexpr int kMaxAttempts = 16;
  DWORD size = first_size > 0 ? first_size : 1;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    // Never a null buffer: with one, the calls only report the size again.
    std::vector<char> buffer(size);
    DWORD length = size;
    const Status status = read(buffer.data(), size, &length);
    if (status == err::kMoreData) {
      size = length > size ? length : size * 2;
      continue;
    }
    if (status != err::kSuccess) return status;
    if (length > size) return err::kMoreData;  // never read past what we own
    out->assign(buffer.data(), length);
    return err::kSuccess;
  }
  return err::kMoreData;
}

}  // namespace pw
