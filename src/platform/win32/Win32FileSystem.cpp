#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/Text.h"
#include "platform/win32/Win32Io.h"
#include "platform/win32/Win32OutputFile.h"

namespace pw {

namespace {

constexpr DWORD kReadChunk = 64 * 1024;

// A writer lets others read what it writes (as the run log is read while it is
// open); a reader lets the writer go on.
constexpr DWORD kReaderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr DWORD kWriterSharing = FILE_SHARE_READ;

Status OpenForWriting(const std::string& path, DWORD rights, DWORD disposition, OutputFilePtr* out) {
  HANDLE file = CreateFileW(Wide(path).c_str(), rights, kWriterSharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  *out = std::make_unique<Win32OutputFile>(file);
  return err::kSuccess;
}

bool IsDotEntry(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

}  // namespace

Status Win32FileSystem::ReadAll(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, kReaderSharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return LastError();
  std::string content;
  // Sized once: appending to a growing string would copy a large file
  // several times and hold twice its size at the last step.
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size)) content.reserve(static_cast<size_t>(size.QuadPart));
  std::vector<char> chunk(kReadChunk);
  Status status = err::kSuccess;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, chunk.data(), kReadChunk, &got, nullptr)) {
      status = LastError();
      break;
    }
    if (got == 0) break;
    content.append(chunk.data(), got);
  }
  CloseHandle(file);
  if (status == err::kSuccess) bytes->swap(content);
  return status;
}

Status Win32FileSystem::ReadAttributes(const std::string& path, FileAttributes* attributes) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return LastError();
  attributes->folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  attributes->read_only = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  attributes->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  attributes->last_write =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return err::kSuccess;
}

Status Win32FileSystem::OpenAppend(const std::string& path, OutputFilePtr* out) {
  return OpenForWriting(path, FILE_APPEND_DATA, OPEN_ALWAYS, out);
}

Status Win32FileSystem::OpenNew(const std::string& path, OutputFilePtr* out) {
  return OpenForWriting(path, GENERIC_WRITE, CREATE_ALWAYS, out);
}

Status Win32FileSystem::Replace(const std::string& from, const std::string& to) {
  return Checked(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

Status Win32FileSystem::Copy(const std::string& from, const std::string& to) {
  return Checked(CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE));
}

Status Win32FileSystem::Remove(const std::string& path) {
  return Checked(DeleteFileW(Wide(path).c_str()));
}

Status Win32FileSystem::MakeFolder(const std::string& path) {
  return Checked(CreateDirectoryW(Wide(path).c_str(), nullptr));
}

Status Win32FileSystem::RemoveFolder(const std::string& path) {
  return Checked(RemoveDirectoryW(Wide(path).c_str()));
}

Status Win32FileSystem::List(const std::string& pattern, std::vector<std::string>* names) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Wide(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return LastError();
  std::vector<std::string> listed;
  Status status = err::kSuccess;
  do {
    if (!IsDotEntry(found.cFileName)) listed.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  if (GetLastError() != ERROR_NO_MORE_FILES) status = LastError();
  FindClose(search);
  if (status != err::kSuccess) return status;
  if (listed.empty()) return err::kFileNotFound;  // only "." and ".." matched
  // Windows gives no order; ours is by upper-cased name, exact bytes breaking ties.
  std::sort(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
    const std::string upper_a = UpperCaseText(a), upper_b = UpperCaseText(b);
    return upper_a != upper_b ? upper_a < upper_b : a < b;
  });
  names->swap(listed);
  return err::kSuccess;
}

}  // namespace pw
