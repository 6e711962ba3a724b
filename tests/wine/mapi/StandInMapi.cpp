// A stand-in mapi32.dll for the Wine tests: Wine's own cannot initialise MAPI,
// so the program's MAPI step would never get past its first call. It behaves
// as MAPI's documentation says for the calls the program makes: profiles are
// the keys below the current user's "Windows Messaging Subsystem\Profiles",
// creating a message service adds its sections there, every object counts
// its references, and a call made before MAPIInitialize is refused.
//
// It writes each call, with its flags, one line at a time to the file named by
// the environment variable MAPI_STANDIN_RECORD, and fails the call named by
// MAPI_STANDIN_FAIL ("Name=80040111", Name as in the record) with that result.
#include <windows.h>
#include <rpc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/MapiInterfaces.h"

namespace {

using namespace pw::mapi;

const char kProfilesKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

int initialized = 0;

std::string Environment(const char* name) {
  char value[1024];
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

void Record(const std::string& line) {
  const std::string path = Environment("MAPI_STANDIN_RECORD");
  if (path.empty()) return;
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string bytes = line + "\r\n";
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Hex(unsigned long value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

std::string Text(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

// The result the test asked this call to fail with, or S_OK.
HRESULT Requested(const std::string& call) {
  const std::string fail = Environment("MAPI_STANDIN_FAIL");
  if (fail.rfind(call + "=", 0) != 0) return S_OK;
  return static_cast<HRESULT>(std::strtoul(fail.c_str() + call.size() + 1, nullptr, 16));
}

// Records the call; what it answers before doing anything.
HRESULT Answer(const std::string& call, const std::string& arguments) {
  Record(call + "(" + arguments + ")");
  return initialized > 0 ? Requested(call) : kNotInitialized;
}

bool ProfileExists(const char* profile) {
  if (!profile || !*profile) return false;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kProfilesKey) + "\\" + profile).c_str(), 0, KEY_READ, &key))
    return false;
  RegCloseKey(key);
  return true;
}

// A property string as MAPI keeps it in a profile section: its bytes and a NUL.
bool PutSection(const std::string& profile, const std::string& section, const char* tag, const std::string& text) {
  HKEY key = nullptr;
  const std::string path = std::string(kProfilesKey) + "\\" + profile + "\\" + section;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
    return false;
  const LONG set = RegSetValueExA(key, tag, 0, REG_BINARY, reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
  return set == ERROR_SUCCESS;
}

// Sections are named by a new unique identifier, 32 hexadecimal digits.
std::string NewSectionName() {
  UUID uuid;
  UuidCreate(&uuid);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&uuid);
  std::string name;
  for (size_t i = 0; i < sizeof uuid; ++i) name += Hex(bytes[i] | 0x100).substr(3);
  return name;
}

// IUnknown with a reference count; the last Release is recorded, and one
// more is recorded as an error.
template <typename Interface>
class Counted : public Interface {
 public:
  explicit Counted(const char* name) : name_(name) {}
  virtual ~Counted() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (references_ == 0) {
      Record(std::string(name_) + " released again");
      return 0;
    }
    if (--references_ == 0) Record(std::string(name_) + " released");
    return references_;  // kept alive, so a second release is seen
  }

 private:
  const char* name_;
  ULONG references_ = 1;
};

class ServiceAdmin : public Counted<IMsgServiceAdmin> {
 public:
  explicit ServiceAdmin(std::string profile) : Counted("IMsgServiceAdmin"), profile_(std::move(profile)) {}

  HRESULT STDMETHODCALLTYPE GetLastError() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetMsgServiceTable() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE CreateMsgService(LPSTR service, LPSTR display_name, ULONG_PTR window,
                                             ULONG flags) override {
    const HRESULT result = Answer("IMsgServiceAdmin::CreateMsgService", Text(service) + ", " + Text(display_name) +
                                                                       ", " + Hex(window) + ", " + Hex(flags));
    if (FAILED(result)) return result;
    if (!service || std::string(service) != "IMAIL") return kNotFound;
    // The service's own section, and its transport's, where the account lives.
    const std::string own = NewSectionName();
    if (!PutSection(profile_, own, "001e3d09", service) ||
        !PutSection(profile_, own, "001e3001", display_name ? display_name : "") ||
        !PutSection(profile_, NewSectionName(), "001e3d0b", "MailServiceEntry"))
      return E_FAIL;
    return S_OK;
  }

 private:
  std::string profile_;
};

class ProfileAdmin : public Counted<IProfAdmin> {
 public:
  ProfileAdmin() : Counted("IProfAdmin") {}

  HRESULT STDMETHODCALLTYPE GetLastError() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetProfileTable() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE CreateProfile() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE DeleteProfile() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE ChangeProfilePassword() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE CopyProfile() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE RenameProfile() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE SetDefaultProfile() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE AdminServices(LPSTR profile, LPSTR password, ULONG_PTR window, ULONG flags,
                                          IMsgServiceAdmin** services) override {
    *services = nullptr;
    const HRESULT result = Answer("IProfAdmin::AdminServices", Text(profile) + ", " + Text(password) + ", " +
                                                                   Hex(window) + ", " + Hex(flags));
    if (FAILED(result)) return result;
    if (!ProfileExists(profile)) return kNotFound;
    *services = new ServiceAdmin(profile);
    return S_OK;
  }
};

class Session : public Counted<IMAPISession> {
 public:
  Session() : Counted("IMAPISession") {}

  HRESULT STDMETHODCALLTYPE GetLastError() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetMsgStoresTable() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE OpenMsgStore() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE OpenAddressBook() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE OpenProfileSection() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetStatusTable() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE OpenEntry() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE CompareEntryIDs() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Advise() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Unadvise() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE MessageOptions() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE EnumAdrTypes() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE QueryIdentity() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR window, ULONG flags, ULONG reserved) override {
    Record("IMAPISession::Logoff(" + Hex(window) + ", " + Hex(flags) + ", " + Hex(reserved) + ")");
    return S_OK;
  }
};

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT STDMETHODCALLTYPE MAPIInitialize(LPVOID init) {
  Record(std::string("MAPIInitialize(") + (init ? "block" : "null") + ")");
  if (const HRESULT refused = Requested("MAPIInitialize")) return refused;
  ++initialized;
  return S_OK;
}

__declspec(dllexport) void STDMETHODCALLTYPE MAPIUninitialize() {
  Record("MAPIUninitialize()");
  if (initialized > 0) --initialized;
}

__declspec(dllexport) HRESULT STDMETHODCALLTYPE MAPIAdminProfiles(ULONG flags, IProfAdmin** admin) {
  *admin = nullptr;
  const HRESULT result = Answer("MAPIAdminProfiles", Hex(flags));
  if (FAILED(result)) return result;
  *admin = new ProfileAdmin();
  return S_OK;
}

__declspec(dllexport) HRESULT STDMETHODCALLTYPE MAPILogonEx(ULONG_PTR window, LPSTR profile, LPSTR password,
                                                            ULONG flags, IMAPISession** session) {
  *session = nullptr;
  const HRESULT result =
      Answer("MAPILogonEx", Hex(window) + ", " + Text(profile) + ", " + Text(password) + ", " + Hex(flags));
  if (FAILED(result)) return result;
  if (!ProfileExists(profile)) return kLogonFailed;
  *session = new Session();
  return S_OK;
}

// Freed while the process goes on (reserved is null), or with the process.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH) Record(reserved ? "unloaded at process end" : "unloaded by FreeLibrary");
  return TRUE;
}

}  // extern "C"
