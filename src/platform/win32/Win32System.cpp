#include "platform/win32/Win32System.h"

#include <windows.h>
#include <rpc.h>
#include <shlobj.h>

#include <vector>

#include "platform/Text.h"

namespace pw {

namespace {

// A variable that keeps changing length under us would otherwise be chased forever.
constexpr int kMaxReadAttempts = 16;

void WriteAll(DWORD which, const std::string& text) {
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  size_t done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(text.size() - done > 65536 ? 65536 : text.size() - done);
    if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

}  // namespace

bool Win32Environment::Variable(const std::string& name, std::string* value) {
  DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) return false;
  for (int attempt = 0; attempt < kMaxReadAttempts; ++attempt) {
    std::vector<char> buffer(size);
    SetLastError(ERROR_SUCCESS);
    const DWORD got = GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
    if (got == 0) {
      // Zero is both "not set" and the length of an empty value.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      value->clear();
      return true;
    }
    if (got >= size) {  // it grew since we asked: got is the size it needs now
      size = got;
      continue;
    }
    value->assign(buffer.data(), got);
    return true;
  }
  return false;
}

Status Win32Environment::ShellAppDataFolder(std::string* folder) {
  char path[MAX_PATH + 1] = {};
  const HRESULT result = SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  if (result == S_OK) {
    *folder = path;
    return ERROR_SUCCESS;
  }
  // S_FALSE: the shell knows the folder but it does not exist.
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return ERROR_FILE_NOT_FOUND;
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
  if (created != RPC_S_OK && created != RPC_S_UUID_LOCAL_ONLY) return created;
  RPC_CSTR string = nullptr;
  if (const RPC_STATUS converted = UuidToStringA(&uuid, &string)) return converted;
  *text = AsciiLower(reinterpret_cast<const char*>(string));
  RpcStringFreeA(&string);
  return ERROR_SUCCESS;
}

void Win32StdOut::Out(const std::string& text) { WriteAll(STD_OUTPUT_HANDLE, text); }

void Win32StdOut::Err(const std::string& text) { WriteAll(STD_ERROR_HANDLE, text); }

}  // namespace pw
