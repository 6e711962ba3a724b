#include "platform/win32/Win32System.h"

#include <windows.h>
#include <rpc.h>
#include <shlobj.h>

#include <vector>

#include "platform/Text.h"
#include "platform/win32/Win32Io.h"

namespace pw {

bool Win32Environment::Variable(const std::string& name, std::string* value) {
  const DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) return false;
  const Status status = ReadGrowing(
      size,
      [&](char* buffer, DWORD room, DWORD* length) {
        SetLastError(ERROR_SUCCESS);
        const DWORD got = GetEnvironmentVariableA(name.c_str(), buffer, room);
        // Zero is both "not set" and the length of an empty value.
        if (got == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return err::kFileNotFound;
        *length = got;
        // Too small: got is the size it needs now, its NUL included.
        return got >= room ? err::kMoreData : err::kSuccess;
      },
      value);
  return status == err::kSuccess;
}

Status Win32Environment::ShellAppDataFolder(std::string* folder) {
  char path[MAX_PATH + 1] = {};
  const HRESULT result = SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  if (result == S_OK) {
    *folder = path;
    return err::kSuccess;
  }
  // S_FALSE: the shell knows the folder but it does not exist.
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return StatusOf(HRESULT_CODE(result));
  return err::kFileNotFound;
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

// Redirected, the text goes where it was sent; otherwise to the console of
// the program that started this one, when there is one. Nowhere to write, or
// a write that fails: the text is dropped.
void WriteTo(DWORD which, const std::string& text) {
  HANDLE handle = GetStdHandle(which);
  if (Writable(handle)) {
    static_cast<void>(WriteWhole(handle, text));
    return;
  }
  // Access denied: the process has a console already (Wine gives one to a
  // window program started from a console, without handles to it).
  const bool attached = AttachConsole(ATTACH_PARENT_PROCESS);
  if (!attached && GetLastError() != ERROR_ACCESS_DENIED) return;
  HANDLE console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (console != INVALID_HANDLE_VALUE) {
    static_cast<void>(WriteWhole(console, text));
    CloseHandle(console);
  }
  if (attached) FreeConsole();
}

}  // namespace

void Win32StdOut::Out(const std::string& text) { WriteTo(STD_OUTPUT_HANDLE, text); }

void Win32StdOut::Err(const std::string& text) { WriteTo(STD_ERROR_HANDLE, text); }

}  // namespace pw
