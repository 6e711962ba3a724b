// MAPI's entry points and the three profile-administration interfaces, as
// MAPI's documentation publishes them: the program declares only what it
// calls. Every method up to the last one used keeps its place, since a
// method is found by its position in the interface's table; the ones this
// program never calls are declared without their parameters.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace pw::mapi {

// Flags of MAPILogonEx.
constexpr ULONG kNewSession = 0x00000002;  // MAPI_NEW_SESSION: not the shared session
constexpr ULONG kExtended = 0x00000020;    // MAPI_EXTENDED
constexpr ULONG kNoMail = 0x00008000;      // MAPI_NO_MAIL: the spooler is not told of the session

// MAPI's result codes.
constexpr HRESULT kNoSupport = static_cast<HRESULT>(0x80040102);      // MAPI_E_NO_SUPPORT
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004010F);       // MAPI_E_NOT_FOUND
constexpr HRESULT kLogonFailed = static_cast<HRESULT>(0x80040111);    // MAPI_E_LOGON_FAILED
constexpr HRESULT kNotInitialized = static_cast<HRESULT>(0x80040605);  // MAPI_E_NOT_INITIALIZED
constexpr HRESULT kInvalidParameter = static_cast<HRESULT>(0x80070057);  // MAPI_E_INVALID_PARAMETER

// Changes the message services of one profile.
struct IMsgServiceAdmin : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;  // not called
  virtual HRESULT STDMETHODCALLTYPE GetMsgServiceTable() = 0;  // not called
  virtual HRESULT STDMETHODCALLTYPE CreateMsgService(LPSTR service, LPSTR display_name, ULONG_PTR window,
                                                     ULONG flags) = 0;
};

// The profiles.
struct IProfAdmin : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;  // not called, nor the six that follow
  virtual HRESULT STDMETHODCALLTYPE GetProfileTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateProfile() = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteProfile() = 0;
  virtual HRESULT STDMETHODCALLTYPE ChangeProfilePassword() = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyProfile() = 0;
  virtual HRESULT STDMETHODCALLTYPE RenameProfile() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDefaultProfile() = 0;
  virtual HRESULT STDMETHODCALLTYPE AdminServices(LPSTR profile, LPSTR password, ULONG_PTR window, ULONG flags,
                                                  IMsgServiceAdmin** services) = 0;
};

// A logged-on session.
struct IMAPISession : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;  // not called, nor the thirteen that follow
  virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenMsgStore() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAddressBook() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProfileSection() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatusTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry() = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs() = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise() = 0;
  virtual HRESULT STDMETHODCALLTYPE MessageOptions() = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdrTypes() = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryIdentity() = 0;
  virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR window, ULONG flags, ULONG reserved) = 0;
};

// The entry points of mapi32.dll, found by name.
typedef HRESULT(STDMETHODCALLTYPE* InitializeFunction)(LPVOID init);
typedef void(STDMETHODCALLTYPE* UninitializeFunction)();
typedef HRESULT(STDMETHODCALLTYPE* AdminProfilesFunction)(ULONG flags, IProfAdmin** admin);
typedef HRESULT(STDMETHODCALLTYPE* LogonExFunction)(ULONG_PTR window, LPSTR profile, LPSTR password, ULONG flags,
                                                     IMAPISession** session);

}  // namespace pw::mapi
