#include "platform/win32/Win32System.h"

#include <windows.h>
#include <rpc.h>
#include <shlobj.h>

#include <vector>

#include "platform/Text.h"
#include "platform/win32/Win32Io.h"

namespace pw {

bool Win32Environment::Variable(const std::string& name, std::string* value) {
  const std::wstring wide_name = Wide(name);
  DWORD room = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (room == 0) return false;
  // The value may grow between asking its size and reading it.
  constexpr int kMaxAttempts = 16;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::vector<wchar_t> buffer(room);
    SetLastError(ERROR_SUCCESS);
    const DWORD got = GetEnvironmentVariableW(wide_name.c_str(), buffer.data(), room);
    // Zero is both "not set" and the length of an empty value.
    if (got == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
    if (got < room) {
      *value = Narrow(buffer.data(), got);
      return true;
    }
    // Too small: got is the size it needs now, its NUL included.
    room = got > room ? got : room * 2;
  }
  return false;
}

namespace {

Status ShellFolder(int csidl, std::string* folder) {
  wchar_t path[MAX_PATH + 1] = {};
  const HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  if (result == S_OK) {
    *folder = Narrow(path);
    return err::kSuccess;
  }
  // S_FALSE: the shell knows the folder but it does not exist.
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return StatusOf(HRESULT_CODE(result));
  return err::kFileNotFound;
}

}  // namespace

Status Win32Environment::ShellAppDataFolder(std::string* folder) { return ShellFolder(CSIDL_APPDATA, folder); }

// "Local Settings\Application Data" on XP, "AppData\Local" since Vista.
Status Win32Environment::ShellLocalAppDataFolder(std::string* folder) {
  return ShellFolder(CSIDL_LOCAL_APPDATA, folder);
}

// The process token's user compared with the well-known system account SID
// (S-1-5-18). A token that cannot be read tells nothing: the run goes on.
bool Win32Environment::RunsAsLocalSystem() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  // TOKEN_USER holds a pointer into its own buffer, so the buffer is kept aligned.
  std::vector<ULONGLONG> buffer(size / sizeof(ULONGLONG) + 1);
  const bool read = size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (!read) return false;
  SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
  PSID system = nullptr;
  if (!AllocateAndInitializeSid(&nt_authority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system))
    return false;
  const bool is_system = EqualSid(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, system) != FALSE;
  FreeSid(system);
  return is_system;
}

bool Win32Environment::ToAnsiCodePage(const std::string& text, std::string* ansi) {
  const std::wstring wide = Wide(text);
  // A system whose ANSI code page is UTF-8 holds every character; the
  // conversion would refuse the flags below.
  if (GetACP() == CP_UTF8 || wide.empty()) {
    *ansi = Narrow(wide);
    return true;
  }
  const int units = static_cast<int>(wide.size());
  // No best fit: a look-alike ("a" for an a with a ring) is no character the
  // code page holds.
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units, nullptr, 0, "?", nullptr);
  std::string converted(size > 0 ? size : 0, '\0');
  BOOL used_default = FALSE;
  const int written = size > 0 ? WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), units,
                                                     &converted[0], size, "?", &used_default)
                               : 0;
  converted.resize(written > 0 ? written : 0);
  ansi->swap(converted);
  return written == size && size > 0 && !used_default;
}

std::string Win32Environment::FromAnsiCodePage(const std::string& ansi) {
  if (ansi.empty()) return std::string();
  const int bytes = static_cast<int>(ansi.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, nullptr, 0);
  if (size <= 0) return std::string();
  std::wstring wide(size, L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, &wide[0], size);
  wide.resize(written > 0 ? written : 0);
  return Narrow(wide);
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return LocalTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

void Win32Clock::Pause(unsigned milliseconds) { Sleep(milliseconds); }

Status Win32UuidSource::NewUuid(std::string* text) {
  UUID uuid;
  const RPC_STATUS created = UuidCreate(&uuid);
  // A locally unique identifier (no network card) still names a file uniquely here.
  if (created != RPC_S_OK && created != RPC_S_UUID_LOCAL_ONLY) return StatusOf(created);
  RPC_CSTR string = nullptr;
  if (const RPC_STATUS converted = UuidToStringA(&uuid, &string)) return StatusOf(converted);
  *text = AsciiLower(reinterpret_cast<const char*>(string));
  RpcStringFreeA(&string);
  return err::kSuccess;
}

namespace {

// A handle the process can write to: a file or pipe it was redirected to, or
// a console it owns. A GUI program started from a console prompt has none
// (or the prompt's console handles, which are not valid in it).
bool Writable(HANDLE handle) {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// A console takes UTF-16 text whatever its code page.
bool WriteToConsole(HANDLE handle, const std::string& text) {
  DWORD mode = 0;
  if (GetFileType(handle) != FILE_TYPE_CHAR || !GetConsoleMode(handle, &mode)) return false;
  const std::wstring wide = Wide(text);
  size_t done = 0;
  while (done < wide.size()) {
    const DWORD piece = static_cast<DWORD>(wide.size() - done < 8192 ? wide.size() - done : 8192);
    DWORD written = 0;
    if (!WriteConsoleW(handle, wide.data() + done, piece, &written, nullptr) || written == 0) break;
    done += written;
  }
  return true;
}

// A file or pipe gets the ANSI code page, as other programs' output there.
void WriteText(HANDLE handle, const std::string& text) {
  if (WriteToConsole(handle, text)) return;
  std::string ansi;
  Win32Environment().ToAnsiCodePage(text, &ansi);
  static_cast<void>(WriteWhole(handle, ansi));
}

// Redirected, the text goes where it was sent; otherwise to the console of
// the program that started this one, when there is one. Nowhere to write, or
// a write that fails: the text is dropped.
void WriteTo(DWORD which, const std::string& text) {
  HANDLE handle = GetStdHandle(which);
  if (Writable(handle)) {
    WriteText(handle, text);
    return;
  }
  // Access denied: the process has a console already (Wine gives one to a
  // window program started from a console, without handles to it).
  const bool attached = AttachConsole(ATTACH_PARENT_PROCESS);
  if (!attached && GetLastError() != ERROR_ACCESS_DENIED) return;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (console != INVALID_HANDLE_VALUE) {
    WriteText(console, text);
    CloseHandle(console);
  }
  if (attached) FreeConsole();
}

}  // namespace

void Win32StdOut::Out(const std::string& text) { WriteTo(STD_OUTPUT_HANDLE, text); }

void Win32StdOut::Err(const std::string& text) { WriteTo(STD_ERROR_HANDLE, text); }

}  // namespace pw
