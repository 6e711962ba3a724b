#include "platform/win32/Win32Mapi.h"

#include <string>
#include <vector>

namespace pw {

namespace {

HResult Answer(HRESULT result) { return HResultOf(static_cast<uint32_t>(result)); }
HResult ErrorAnswer(DWORD error) { return Answer(HRESULT_FROM_WIN32(error)); }

// The address of an entry point, as the type MAPI declares for it.
template <typename Pointer>
bool Find(HMODULE library, const char* name, Pointer* out) {
  *out = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *out != nullptr;
}

// MAPI takes its texts as writable strings in the system's ANSI code page.
// A text that code page cannot hold is refused rather than passed on with
// question marks, which would name another profile or service.
HResult AnsiText(const std::string& utf8, std::vector<char>* out) {
  out->assign(utf8.begin(), utf8.end());
  out->push_back('\0');
  if (utf8.empty() || GetACP() == CP_UTF8) return hres::kOk;
  const int length = static_cast<int>(utf8.size());
  const int wide_length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (wide_length <= 0) return Answer(mapi::kInvalidParameter);
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, &wide[0], wide_length);
  BOOL lossy = FALSE;
  const int ansi_length =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, nullptr, 0, nullptr, &lossy);
  if (ansi_length <= 0 || lossy) return Answer(mapi::kInvalidParameter);
  out->assign(static_cast<size_t>(ansi_length) + 1, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide_length, out->data(), ansi_length, nullptr,
                      nullptr);
  return hres::kOk;
}

class Win32ServiceAdmin : public MapiServiceAdmin {
 public:
  explicit Win32ServiceAdmin(mapi::IMsgServiceAdmin* admin) : admin_(admin) {}
  ~Win32ServiceAdmin() override { admin_->Release(); }

  HResult CreateMsgService(const std::string& service, const std::string& display_name) override {
    std::vector<char> service_name;
    std::vector<char> shown;
    if (const HResult refused = AnsiText(service, &service_name)) return refused;
    if (const HResult refused = AnsiText(display_name, &shown)) return refused;
    return Answer(admin_->CreateMsgService(service_name.data(), shown.data(), 0, 0));
  }

 private:
  mapi::IMsgServiceAdmin* admin_;
};

class Win32ProfileAdmin : public MapiProfileAdmin {
 public:
  explicit Win32ProfileAdmin(mapi::IProfAdmin* admin) : admin_(admin) {}
  ~Win32ProfileAdmin() override { admin_->Release(); }

  HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) override {
    std::vector<char> name;
    if (const HResult refused = AnsiText(profile, &name)) return refused;
    mapi::IMsgServiceAdmin* admin = nullptr;
    const HRESULT result = admin_->AdminServices(name.data(), nullptr, 0, 0, &admin);
    if (FAILED(result)) return Answer(result);
    if (!admin) return hres::kFail;
    *out = std::make_unique<Win32ServiceAdmin>(admin);
    return Answer(result);
  }

 private:
  mapi::IProfAdmin* admin_;
};

class Win32Session : public MapiSession {
 public:
  explicit Win32Session(mapi::IMAPISession* session) : session_(session) {}
  ~Win32Session() override {
    // Nothing to do about a session that cannot log off: it is released anyway.
    session_->Logoff(0, 0, 0);
    session_->Release();
  }

 private:
  mapi::IMAPISession* session_;
};

}  // namespace

// The full path in the system folder: a bare name would be looked for in the
// program's own folder first (XP has no flag to restrict the search).
HResult Win32Mapi::Load() {
  if (library_) return hres::kOk;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return ErrorAnswer(length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
  std::wstring path(folder, length);
  if (path.back() != L'\\') path += L'\\';
  path += L"mapi32.dll";
  HMODULE library = LoadLibraryW(path.c_str());
  if (!library) return ErrorAnswer(GetLastError());
  if (!Find(library, "MAPIInitialize", &initialize_) || !Find(library, "MAPIUninitialize", &uninitialize_) ||
      !Find(library, "MAPIAdminProfiles", &admin_profiles_) || !Find(library, "MAPILogonEx", &logon_ex_)) {
    const DWORD missing = GetLastError();
    FreeLibrary(library);  // none of it was called
    initialize_ = nullptr;
    uninitialize_ = nullptr;
    admin_profiles_ = nullptr;
    logon_ex_ = nullptr;
    return ErrorAnswer(missing);
  }
  library_ = library;
  return hres::kOk;
}

HResult Win32Mapi::Initialize() {
  if (const HResult loaded = Load()) return loaded;
  const HRESULT result = initialize_(nullptr);
  if (SUCCEEDED(result)) ++initialized_;
  return Answer(result);
}

void Win32Mapi::Uninitialize() {
  if (initialized_ == 0) return;
  --initialized_;
  uninitialize_();
}

HResult Win32Mapi::AdminProfiles(MapiProfileAdminPtr* out) {
  if (initialized_ == 0) return Answer(mapi::kNotInitialized);
  mapi::IProfAdmin* admin = nullptr;
  const HRESULT result = admin_profiles_(0, &admin);
  if (FAILED(result)) return Answer(result);
  if (!admin) return hres::kFail;
  *out = std::make_unique<Win32ProfileAdmin>(admin);
  return Answer(result);
}

HResult Win32Mapi::LogonEx(const std::string& profile, MapiSessionPtr* out) {
  if (initialized_ == 0) return Answer(mapi::kNotInitialized);
  std::vector<char> name;
  if (const HResult refused = AnsiText(profile, &name)) return refused;
  mapi::IMAPISession* session = nullptr;
  const HRESULT result =
      logon_ex_(0, name.data(), nullptr, mapi::kNewSession | mapi::kNoMail | mapi::kExtended, &session);
  if (FAILED(result)) return Answer(result);
  if (!session) return hres::kFail;
  *out = std::make_unique<Win32Session>(session);
  return Answer(result);
}

}  // namespace pw
