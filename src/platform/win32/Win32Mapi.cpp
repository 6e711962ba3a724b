#include "platform/win32/Win32Mapi.h"

#include <algorithm>
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

// The identifiers in the service table's rows. Each batch of rows comes in
// buffers MAPI allocated, which go back to it as they are read.
HRESULT ReadServiceUids(mapi::IMAPITable* table, mapi::FreeBufferFunction free_buffer, std::vector<MapiUid>* out) {
  mapi::PropTagArray columns = {1, {mapi::kServiceUidTag}};
  HRESULT result = table->SetColumns(&columns, 0);
  if (FAILED(result)) return result;
  for (;;) {
    mapi::RowSet* rows = nullptr;
    result = table->QueryRows(32, 0, &rows);
    if (FAILED(result)) return result;
    if (!rows) return E_FAIL;
    const ULONG count = rows->cRows;
    for (ULONG i = 0; i < count; ++i) {
      const mapi::Row* row = rows->aRow + i;
      for (ULONG column = 0; column < row->cValues; ++column) {
        const mapi::PropValue& value = row->lpProps[column];
        if (value.ulPropTag != mapi::kServiceUidTag || value.Value.bin.cb != sizeof(MapiUid) || !value.Value.bin.lpb)
          continue;
        out->emplace_back();
        std::copy(value.Value.bin.lpb, value.Value.bin.lpb + sizeof(MapiUid), out->back().begin());
      }
      free_buffer(row->lpProps);
    }
    free_buffer(rows);
    if (count == 0) return result;
  }
}

class Win32ServiceAdmin : public MapiServiceAdmin {
 public:
  Win32ServiceAdmin(mapi::IMsgServiceAdmin* admin, mapi::FreeBufferFunction free_buffer)
      : admin_(admin), free_buffer_(free_buffer) {}
  ~Win32ServiceAdmin() override { admin_->Release(); }

  HResult CreateMsgService(const std::string& service, const std::string& display_name) override {
    std::vector<char> service_name;
    std::vector<char> shown;
    if (const HResult refused = AnsiText(service, &service_name)) return refused;
    if (const HResult refused = AnsiText(display_name, &shown)) return refused;
    return Answer(admin_->CreateMsgService(service_name.data(), shown.data(), 0, 0));
  }

  HResult ServiceUids(std::vector<MapiUid>* out) override {
    out->clear();
    mapi::IMAPITable* table = nullptr;
    HRESULT result = admin_->GetMsgServiceTable(0, &table);
    if (FAILED(result)) return Answer(result);
    if (!table) return hres::kFail;
    result = ReadServiceUids(table, free_buffer_, out);
    table->Release();
    return Answer(result);
  }

  HResult DeleteMsgService(const MapiUid& uid) override {
    mapi::Uid service;
    std::copy(uid.begin(), uid.end(), service.ab);
    return Answer(admin_->DeleteMsgService(&service));
  }

 private:
  mapi::IMsgServiceAdmin* admin_;
  mapi::FreeBufferFunction free_buffer_;
};

class Win32ProfileAdmin : public MapiProfileAdmin {
 public:
  Win32ProfileAdmin(mapi::IProfAdmin* admin, mapi::FreeBufferFunction free_buffer)
      : admin_(admin), free_buffer_(free_buffer) {}
  ~Win32ProfileAdmin() override { admin_->Release(); }

  HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) override {
    std::vector<char> name;
    if (const HResult refused = AnsiText(profile, &name)) return refused;
    mapi::IMsgServiceAdmin* admin = nullptr;
    const HRESULT result = admin_->AdminServices(name.data(), nullptr, 0, 0, &admin);
    if (FAILED(result)) return Answer(result);
    if (!admin) return hres::kFail;
    *out = std::make_unique<Win32ServiceAdmin>(admin, free_buffer_);
    return Answer(result);
  }

 private:
  mapi::IProfAdmin* admin_;
  mapi::FreeBufferFunction free_buffer_;
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
      !Find(library, "MAPIAdminProfiles", &admin_profiles_) || !Find(library, "MAPILogonEx", &logon_ex_) ||
      !Find(library, "MAPIFreeBuffer", &free_buffer_)) {
    const DWORD missing = GetLastError();
    FreeLibrary(library);  // none of it was called
    initialize_ = nullptr;
    uninitialize_ = nullptr;
    admin_profiles_ = nullptr;
    logon_ex_ = nullptr;
    free_buffer_ = nullptr;
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
  *out = std::make_unique<Win32ProfileAdmin>(admin, free_buffer_);
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
