#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include "contract/ContractBackend.h"
#include "platform/win32/Win32Io.h"
#include "platform/win32/Win32Platform.h"

namespace pw {

namespace {

constexpr char kScratchRoot[] = "Software\\PostwrightContract";

// Security descriptors in the SDDL notation: everyone may read (KR) and nothing
// more; nobody may do anything; everyone may do everything (KA).
constexpr char kReadOnly[] = "D:P(A;;KR;;;WD)";
constexpr char kNoAccess[] = "D:P";
constexpr char kOpen[] = "D:(A;;KA;;;WD)";

bool Protect(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
  const LONG status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  return status == ERROR_SUCCESS;
}

// Gives every key of a tree open rights again, so a run can delete what an
// earlier (perhaps crashed) run protected. The owner may always change rights.
void Unprotect(HKEY parent, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    Protect(key, kOpen);
    RegCloseKey(key);
  }
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  char name[1024];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    Unprotect(key, name);
  }
  RegCloseKey(key);
}

// Wide, so that names in any script go too.
void RemoveFolderTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // Windows deletes no read-only file
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

void RemoveFolderTree(const std::string& folder) { RemoveFolderTree(Wide(folder)); }

std::string ProgramFolder() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\'));
}

struct Win32ContractBackend : ContractBackend {
  Win32Platform platform;
  std::string folder_root;
  int scratch = 0;

  Win32ContractBackend() {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_root = std::string(temp) + "PostwrightContract";
    CleanUp();
    CreateDirectoryA(folder_root.c_str(), nullptr);
  }

  ~Win32ContractBackend() override { CleanUp(); }

  void CleanUp() {
    Unprotect(HKEY_CURRENT_USER, kScratchRoot);
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratchRoot);
    RegDeleteKeyA(HKEY_CURRENT_USER, kScratchRoot);
    RemoveFolderTree(folder_root);
  }

  Platform View() override { return platform.View(); }

  std::string ScratchFolder() override {
    const std::string folder = folder_root + "\\Run" + std::to_string(++scratch);
    RemoveFolderTree(folder);
    if (!CreateDirectoryA(folder.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << folder;
    return folder;
  }

  std::string ScratchKey() override { return std::string(kScratchRoot) + "\\Run" + std::to_string(++scratch); }

  void MakeReadOnly(const std::string& path) override {
    if (!SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) ADD_FAILURE() << "cannot mark " << path;
  }

  void DenyWrite(const std::string& key) override { CreateProtected(key, kReadOnly); }

  void DenyAccess(const std::string& key) override { CreateProtected(key, kNoAccess); }

  void CreateProtected(const std::string& path, const char* sddl) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot create " << path;
      return;
    }
    if (!Protect(key, sddl)) ADD_FAILURE() << "cannot protect " << path;
    RegCloseKey(key);
  }

  std::string DummyProgram(const std::string& exe_name) override {
    const std::string source = ProgramFolder() + "\\contract_dummy.exe";
    const std::string target = ScratchFolder() + "\\" + exe_name;
    if (!CopyFileW(Wide(source).c_str(), Wide(target).c_str(), FALSE)) ADD_FAILURE() << "cannot copy " << source;
    return target;
  }

  // The variables are the seam's UTF-8 text: set through the wide call.
  void SetVariable(const std::string& name, const std::string& value) override {
    SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str());
  }

  void UnsetVariable(const std::string& name) override { SetEnvironmentVariableW(Wide(name).c_str(), nullptr); }
};

}  // namespace

ContractBackend& Backend() {
  static Win32ContractBackend backend;
  return backend;
}

}  // namespace pw
