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
// "MailServiceEntry=5" instead makes the entry section of a new service
// readable only, so that whoever writes to it is denied (error 5).
#include <windows.h>
#include <rpc.h>
#include <sddl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/MapiInterfaces.h"

namespace {

using namespace pw::mapi;

const char kProfilesKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

const char kServiceName[] = "001e3d09";  // PR_SERVICE_NAME: only a service's own section has it
const char kServiceUid[] = "01023d0c";   // PR_SERVICE_UID: the service a section belongs to
constexpr ULONG kErrorType = 0x000A;     // PT_ERROR: a column the table cannot fill

int initialized = 0;
// Buffers handed out by MAPIAllocateBuffer's stand-in and not yet freed.
int buffers = 0;
// The service created last, so the record can tell when it is the one deleted.
std::string last_created;

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

std::string ProfileKey(const std::string& profile) { return std::string(kProfilesKey) + "\\" + profile; }

// Sets a property of a section, creating the section; a string property is
// kept as its bytes and a NUL.
bool PutSection(const std::string& profile, const std::string& section, const char* tag, const std::string& bytes) {
  HKEY key = nullptr;
  const std::string path = ProfileKey(profile) + "\\" + section;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
    return false;
  const LONG set = RegSetValueExA(key, tag, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                                  static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  return set == ERROR_SUCCESS;
}

std::string Property(const char* text) { return std::string(text) + '\0'; }

// A section's new rights, in the SDDL notation.
bool Protect(const std::string& profile, const std::string& section, const char* sddl) {
  HKEY key = nullptr;
  const std::string path = ProfileKey(profile) + "\\" + section;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key)) return false;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  bool done = ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr);
  if (done) done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
  LocalFree(descriptor);
  RegCloseKey(key);
  return done;
}

std::vector<std::string> Sections(const std::string& profile) {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, ProfileKey(profile).c_str(), 0, KEY_READ, &key)) return names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(std::string(name, length));
  }
  RegCloseKey(key);
  return names;
}

// A section's property, or nothing.
bool ReadProperty(const std::string& profile, const std::string& section, const char* tag, std::string* bytes) {
  HKEY key = nullptr;
  const std::string path = ProfileKey(profile) + "\\" + section;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key)) return false;
  char data[1024];
  DWORD size = sizeof data;
  const LONG read = RegQueryValueExA(key, tag, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS) return false;
  bytes->assign(data, size);
  return true;
}

// Sections are named by a new unique identifier in hexadecimal, byte by byte.
std::string NewUid() {
  UUID uuid;
  UuidCreate(&uuid);
  return std::string(reinterpret_cast<const char*>(&uuid), sizeof uuid);
}

std::string HexName(const std::string& uid) {
  std::string name;
  for (unsigned char byte : uid) name += Hex(byte | 0x100u).substr(3);
  return name;
}

void* Allocate(size_t size) {
  ++buffers;
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
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

// The profile's services as MAPI lists them: one row a service, with the
// columns asked for; the rows are read from the profile when the table is made.
class ServiceTable : public Counted<IMAPITable> {
 public:
  explicit ServiceTable(const std::string& profile) : Counted("IMAPITable") {
    for (const std::string& section : Sections(profile)) {
      std::string name, uid;
      if (ReadProperty(profile, section, kServiceName, &name) && ReadProperty(profile, section, kServiceUid, &uid))
        rows_.push_back({uid, name});
    }
  }

  HRESULT STDMETHODCALLTYPE GetLastError() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Advise() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Unadvise() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetStatus() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE SetColumns(PropTagArray* columns, ULONG flags) override {
    std::string tags;
    for (ULONG i = 0; columns && i < columns->cValues; ++i) tags += Hex(columns->aulPropTag[i]) + ", ";
    const HRESULT result = Answer("IMAPITable::SetColumns", tags + Hex(flags));
    if (FAILED(result)) return result;
    if (!columns) return kInvalidParameter;
    columns_.assign(columns->aulPropTag, columns->aulPropTag + columns->cValues);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE QueryColumns() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetRowCount() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE SeekRow() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE SeekRowApprox() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE QueryPosition() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE FindRow() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE Restrict() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE CreateBookmark() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE FreeBookmark() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE SortTable() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE QuerySortOrder() override { return kNoSupport; }
  // The set in one buffer, each row's values with their bytes in another.
  HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, RowSet** rows) override {
    *rows = nullptr;
    const HRESULT result = Answer("IMAPITable::QueryRows", std::to_string(count) + ", " + Hex(flags));
    if (FAILED(result)) return result;
    if (count <= 0) return kInvalidParameter;
    const size_t taken = std::min(static_cast<size_t>(count), rows_.size() - next_);
    *rows = static_cast<RowSet*>(Allocate(sizeof(RowSet) + taken * sizeof(Row)));
    (*rows)->cRows = static_cast<ULONG>(taken);
    for (size_t i = 0; i < taken; ++i) {
      const Service& service = rows_[next_++];
      PropValue* values = static_cast<PropValue*>(Allocate(columns_.size() * sizeof(PropValue) + service.uid.size()));
      BYTE* uid = reinterpret_cast<BYTE*>(values + columns_.size());
      std::memcpy(uid, service.uid.data(), service.uid.size());
      for (size_t column = 0; column < columns_.size(); ++column) {
        PropValue& value = values[column];
        value.ulPropTag = columns_[column];
        if (columns_[column] == kServiceUidTag) {
          value.Value.bin = {static_cast<ULONG>(service.uid.size()), uid};
        } else {
          value.ulPropTag = (columns_[column] & 0xFFFF0000u) | kErrorType;
          value.Value.l = kNotFound;
        }
      }
      (*rows)->aRow[i] = {0, static_cast<ULONG>(columns_.size()), values};
    }
    return S_OK;
  }

 private:
  struct Service {
    std::string uid, name;
  };
  std::vector<Service> rows_;
  std::vector<ULONG> columns_;
  size_t next_ = 0;
};

class ServiceAdmin : public Counted<IMsgServiceAdmin> {
 public:
  explicit ServiceAdmin(std::string profile) : Counted("IMsgServiceAdmin"), profile_(std::move(profile)) {}

  HRESULT STDMETHODCALLTYPE GetLastError() override { return kNoSupport; }
  HRESULT STDMETHODCALLTYPE GetMsgServiceTable(ULONG flags, IMAPITable** table) override {
    *table = nullptr;
    const HRESULT result = Answer("IMsgServiceAdmin::GetMsgServiceTable", Hex(flags));
    if (FAILED(result)) return result;
    *table = new ServiceTable(profile_);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateMsgService(LPSTR service, LPSTR display_name, ULONG_PTR window,
                                             ULONG flags) override {
    const HRESULT result = Answer("IMsgServiceAdmin::CreateMsgService", Text(service) + ", " + Text(display_name) +
                                                                       ", " + Hex(window) + ", " + Hex(flags));
    if (FAILED(result)) return result;
    if (!service || std::string(service) != "IMAIL") return kNotFound;
    // The service's own section, and its transport's, where the account
    // lives; both are marked as the service's.
    const std::string uid = NewUid();
    const std::string own = HexName(uid);
    const std::string entry = HexName(NewUid());
    if (!PutSection(profile_, own, kServiceName, Property(service)) ||
        !PutSection(profile_, own, "001e3001", Property(display_name ? display_name : "")) ||
        !PutSection(profile_, own, kServiceUid, uid) ||
        !PutSection(profile_, entry, "001e3d0b", Property("MailServiceEntry")) ||
        !PutSection(profile_, entry, kServiceUid, uid))
      return E_FAIL;
    if (Requested("MailServiceEntry") == ERROR_ACCESS_DENIED && !Protect(profile_, entry, "D:P(A;;KR;;;WD)"))
      return E_FAIL;
    last_created = uid;
    return S_OK;
  }
  // Every section marked as the service's goes, whatever its rights.
  HRESULT STDMETHODCALLTYPE DeleteMsgService(Uid* service) override {
    const std::string uid = service ? std::string(reinterpret_cast<const char*>(service->ab), sizeof service->ab) : "";
    const HRESULT result =
        Answer("IMsgServiceAdmin::DeleteMsgService", uid == last_created ? "the new service" : HexName(uid));
    if (FAILED(result)) return result;
    std::vector<std::string> doomed;
    bool found = false;
    for (const std::string& section : Sections(profile_)) {
      std::string mark, name;
      if (!ReadProperty(profile_, section, kServiceUid, &mark) || mark != uid) continue;
      doomed.push_back(section);
      found = found || ReadProperty(profile_, section, kServiceName, &name);
    }
    if (!found) return kNotFound;
    for (const std::string& section : doomed) {
      Protect(profile_, section, "D:(A;;KA;;;WD)");
      if (RegDeleteKeyA(HKEY_CURRENT_USER, (ProfileKey(profile_) + "\\" + section).c_str())) return E_FAIL;
    }
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
  if (buffers != 0) Record(std::to_string(buffers) + " buffers not freed");
  if (initialized > 0) --initialized;
}

__declspec(dllexport) ULONG STDMETHODCALLTYPE MAPIFreeBuffer(LPVOID buffer) {
  if (!buffer) return S_OK;
  --buffers;
  HeapFree(GetProcessHeap(), 0, buffer);
  return S_OK;
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
