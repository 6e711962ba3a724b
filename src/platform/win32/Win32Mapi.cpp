#include "platform/win32/Win32Mapi.h"

#include <vector>

namespace pw {

namespace {

HResult Answer(HRESULT result) { return HResultOf(static_cast<uint32_t>(result)); }
HResult LastErrorAnswer() { return Answer(HRESULT_FROM_WIN32(GetLastError())); }

// The address of an entry point, as the type the headers declare for it.
template <typename Pointer>
bool Find(HMODULE library, const char* name, Pointer* out) {
  *out = reinterpret_cast<Pointer>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *out != nullptr;
}

// MAPI takes its texts as writable ANSI strings.
std::vector<char> Writable(const std::string& text) {
  std::vector<char> chars(text.begin(), text.end());
  chars.push_back('\0');
  return chars;
}

class Win32ServiceAdmin : public MapiServiceAdmin {
 public:
  explicit Win32ServiceAdmin(LPSERVICEADMIN admin) : admin_(admin) {}
  ~Win32ServiceAdmin() override { admin_->Release(); }

  HResult CreateMsgService(const std::string& service, const std::string& display_name) override {
    std::vector<char> service_name = Writable(service);
    std::vector<char> shown = Writable(display_name);
    return Answer(admin_->CreateMsgService(service_name.data(), shown.data(), 0, 0));
  }

 private:
  LPSERVICEADMIN admin_;
};

class Win32ProfileAdmin : public MapiProfileAdmin {
 public:
  explicit Win32ProfileAdmin(LPPROFADMIN admin) : admin_(admin) {}
  ~Win32ProfileAdmin() override { admin_->Release(); }

  HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) override {
    std::vector<char> name = Writable(profile);
    LPSERVICEADMIN admin = nullptr;
    const HRESULT result = admin_->AdminServices(name.data(), nullptr, 0, 0, &admin);
    if (FAILED(result)) return Answer(result);
    if (!admin) return hres::kFail;
    *out = std::make_unique<Win32ServiceAdmin>(admin);
    return Answer(result);
  }

 private:
  LPPROFADMIN admin_;
};

class Win32Session : public MapiSession {
 public:
  explicit Win32Session(LPMAPISESSION session) : session_(session) {}
  ~Win32Session() override {
    // Nothing to do about a session that cannot log off: it is released anyway.
    session_->Logoff(0, 0, 0);
    session_->Release();
  }

 private:
  LPMAPISESSION session_;
};

}  // namespace

Win32Mapi::~Win32Mapi() { Unload(); }

HResult Win32Mapi::Initialize() {
  if (!library_) library_ = LoadLibraryA("mapi32.dll");
  if (!library_) return LastErrorAnswer();
  LPMAPIINITIALIZE initialize = nullptr;
  if (!Find(library_, "MAPIInitialize", &initialize) || !Find(library_, "MAPIUninitialize", &uninitialize_) ||
      !Find(library_, "MAPIAdminProfiles", &admin_profiles_) || !Find(library_, "MAPILogonEx", &logon_ex_)) {
    const HResult missing = LastErrorAnswer();
    Unload();
    return missing;
  }
  const HRESULT result = initialize(nullptr);
  if (FAILED(result)) Unload();
  return Answer(result);
}

void Win32Mapi::Uninitialize() {
  if (uninitialize_) uninitialize_();
  Unload();
}

HResult Win32Mapi::AdminProfiles(MapiProfileAdminPtr* out) {
  if (!admin_profiles_) return hres::kNotInitialized;
  LPPROFADMIN admin = nullptr;
  const HRESULT result = admin_profiles_(0, &admin);
  if (FAILED(result)) return Answer(result);
  if (!admin) return hres::kFail;
  *out = std::make_unique<Win32ProfileAdmin>(admin);
  return Answer(result);
}

HResult Win32Mapi::LogonEx(const std::string& profile, MapiSessionPtr* out) {
  if (!logon_ex_) return hres::kNotInitialized;
  std::vector<char> name = Writable(profile);
  LPMAPISESSION session = nullptr;
  const HRESULT result = logon_ex_(0, name.data(), nullptr, 0, &session);
  if (FAILED(result)) return Answer(result);
  if (!session) return hres::kFail;
  *out = std::make_unique<Win32Session>(session);
  return Answer(result);
}

void Win32Mapi::Unload() {
  uninitialize_ = nullptr;
  admin_profiles_ = nullptr;
  logon_ex_ = nullptr;
  if (library_) FreeLibrary(library_);
  library_ = nullptr;
}

}  // namespace pw
