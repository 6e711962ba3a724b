#include "platform/win32/Win32Io.h"

#include "platform/Text.h"

namespace pw {

namespace {

constexpr size_t kMaxPiece = 64 * 1024;

}  // namespace

// wchar_t is the 16-bit code unit on Windows.
std::wstring Wide(const std::string& text) {
  const std::u16string wide = Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(const wchar_t* text, size_t length) {
  return Utf16ToUtf8(std::u16string(text, text + length));
}

Status WriteWhole(HANDLE handle, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD piece = static_cast<DWORD>(bytes.size() - done < kMaxPiece ? bytes.size() - done : kMaxPiece);
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data() + done, piece, &written, nullptr)) return LastError();
    if (written == 0) return err::kWriteFault;  // a handle that takes nothing would loop forever
    done += written;
  }
  return err::kSuccess;
}

}  // namespace pw
