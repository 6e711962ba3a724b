// The physical floor of a run: the least any program must do to change the
// same store the way Postwright does, with nothing else around it.
//   FloorProgram.exe file PATH...           reads each file whole, writes its
//       bytes to PATH.floor beside it, flushes, closes and moves it over PATH
//   FloorProgram.exe folder DIR PATTERN NEW reads every file of DIR matching
//       PATTERN, then saves the last one's bytes as DIR\NEW the same way
//   FloorProgram.exe registry KEY VALUE NEW reads the value VALUE of every
//       subkey of HKCU\KEY (what a search for an account's address must read),
//       then writes every value of the last one into the key HKCU\NEW
// Exit status 0 when every step succeeded, else the failing Win32 error code.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

struct Value {
  std::wstring name;
  DWORD type = 0;
  std::vector<BYTE> data;
};

DWORD ReadWhole(const std::wstring& path, std::string* bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  LARGE_INTEGER size;
  DWORD status = GetFileSizeEx(file, &size) ? ERROR_SUCCESS : GetLastError();
  if (status == ERROR_SUCCESS) bytes->resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (status == ERROR_SUCCESS && done < bytes->size()) {
    DWORD got = 0;
    if (!ReadFile(file, &(*bytes)[done], static_cast<DWORD>(bytes->size() - done), &got, nullptr))
      status = GetLastError();
    else if (got == 0)
      break;
    done += got;
  }
  bytes->resize(done);
  CloseHandle(file);
  return status;
}

// Temporary file beside the target, written in one call, flushed, closed and
// moved over the target in one step.
DWORD SaveWhole(const std::wstring& path, const std::string& bytes) {
  const std::wstring temp = path + L".floor";
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0;
  DWORD status = ERROR_SUCCESS;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) status = GetLastError();
  else if (written != bytes.size()) status = ERROR_WRITE_FAULT;
  else if (!FlushFileBuffers(file)) status = GetLastError();
  if (!CloseHandle(file) && status == ERROR_SUCCESS) status = GetLastError();
  if (status == ERROR_SUCCESS &&
      !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    status = GetLastError();
  return status;
}

DWORD Files(int count, wchar_t** paths) {
  for (int i = 0; i < count; ++i) {
    std::string bytes;
    if (DWORD s = ReadWhole(paths[i], &bytes)) return s;
    if (DWORD s = SaveWhole(paths[i], bytes)) return s;
  }
  return ERROR_SUCCESS;
}

DWORD Folder(const std::wstring& folder, const std::wstring& pattern, const std::wstring& added) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError();
  std::string bytes;
  DWORD status = ERROR_SUCCESS;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    status = ReadWhole(folder + L"\\" + found.cFileName, &bytes);
  } while (status == ERROR_SUCCESS && FindNextFileW(search, &found));
  FindClose(search);
  if (status) return status;
  return SaveWhole(folder + L"\\" + added, bytes);
}

DWORD ReadValues(HKEY key, std::vector<Value>* values) {
  values->clear();
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD name_length = 16384, type = 0, size = 0;
    LONG s = RegEnumValueW(key, index, name, &name_length, nullptr, &type, nullptr, &size);
    if (s == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (s) return static_cast<DWORD>(s);
    Value value{std::wstring(name, name_length), type, std::vector<BYTE>(size)};
    s = RegQueryValueExW(key, value.name.c_str(), nullptr, &value.type, value.data.empty() ? nullptr : &value.data[0],
                         &size);
    if (s) return static_cast<DWORD>(s);
    value.data.resize(size);
    values->push_back(value);
  }
}

DWORD Registry(const std::wstring& path, const std::wstring& searched, const std::wstring& added) {
  HKEY root = nullptr;
  if (LONG s = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &root)) return static_cast<DWORD>(s);
  std::vector<Value> values;
  std::wstring last;
  DWORD status = ERROR_SUCCESS;
  for (DWORD index = 0; status == ERROR_SUCCESS; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    LONG s = RegEnumKeyExW(root, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (s == ERROR_NO_MORE_ITEMS) break;
    if (s) {
      status = static_cast<DWORD>(s);
      break;
    }
    HKEY account = nullptr;
    if ((s = RegOpenKeyExW(root, name, 0, KEY_READ, &account))) {
      status = static_cast<DWORD>(s);
      break;
    }
    BYTE data[1024];
    DWORD size = sizeof data, type = 0;
    s = RegQueryValueExW(account, searched.c_str(), nullptr, &type, data, &size);
    if (s != ERROR_SUCCESS && s != ERROR_FILE_NOT_FOUND) status = static_cast<DWORD>(s);
    last = name;
    RegCloseKey(account);
  }
  if (status == ERROR_SUCCESS && !last.empty()) {
    HKEY account = nullptr;
    LONG s = RegOpenKeyExW(root, last.c_str(), 0, KEY_READ, &account);
    status = s ? static_cast<DWORD>(s) : ReadValues(account, &values);
    if (account) RegCloseKey(account);
  }
  RegCloseKey(root);
  if (status) return status;

  HKEY target = nullptr;
  if (LONG s = RegCreateKeyExW(HKEY_CURRENT_USER, added.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                               &target, nullptr))
    return static_cast<DWORD>(s);
  for (const Value& value : values) {
    LONG s = RegSetValueExW(target, value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : &value.data[0],
                            static_cast<DWORD>(value.data.size()));
    if (s) {
      status = static_cast<DWORD>(s);
      break;
    }
  }
  RegCloseKey(target);
  return status;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 3) return ERROR_BAD_ARGUMENTS;
  const std::wstring mode = args[1];
  DWORD status = ERROR_BAD_ARGUMENTS;
  if (mode == L"file") status = Files(count - 2, args + 2);
  else if (mode == L"folder" && count == 5) status = Folder(args[2], args[3], args[4]);
  else if (mode == L"registry" && count == 5) status = Registry(args[2], args[3], args[4]);
  LocalFree(args);
  return static_cast<int>(status);
}
