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

// Property tags: the property's number, then its type.
constexpr ULONG kServiceUidTag = 0x3D0C0102;  // PR_SERVICE_UID, binary

// MAPIUID: what tells a service or a profile section from the others.
struct Uid {
  BYTE ab[16];
};

// SPropTagArray, with room for the one column asked for here.
struct PropTagArray {
  ULONG cValues;
  ULONG aulPropTag[1];
};

// SBinary.
struct Binary {
  ULONG cb;
  LPBYTE lpb;
};

// SPropValue. Of the value union only what is read here is named; the others
// it holds are no wider than these, and none more strictly aligned than the
// 8-byte numbers.
struct PropValue {
  ULONG ulPropTag;
  ULONG dwAlignPad;
  union {
    LONG l;
    double dbl;
    LARGE_INTEGER li;
    LPSTR lpszA;
    Binary bin;
  } Value;
};

// SRow and SRowSet: a table's rows, as many as cRows says.
struct Row {
  ULONG ulAdrEntryPad;
  ULONG cValues;
  PropValue* lpProps;
};

struct RowSet {
  ULONG cRows;
  Row aRow[1];
};

// MAPI's own layout, on 32-bit and 64-bit Windows alike.
static_assert(sizeof(PropValue) == (sizeof(void*) == 8 ? 24 : 16), "SPropValue: a tag, a pad, an 8-aligned union");
static_assert(sizeof(Row) == (sizeof(void*) == 8 ? 16 : 12), "SRow: two ULONGs and a pointer");

// A table of rows, here the profile's message services.
struct IMAPITable : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;  // not called, nor the three that follow
  virtual HRESULT STDMETHODCALLTYPE Advise() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatus() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetColumns(PropTagArray* columns, ULONG flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryColumns() = 0;  // not called, nor the ten that follow
  virtual HRESULT STDMETHODCALLTYPE GetRowCount() = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRow() = 0;
  virtual HRESULT STDMETHODCALLTYPE SeekRowApprox() = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryPosition() = 0;
  virtual HRESULT STDMETHODCALLTYPE FindRow() = 0;
  virtual HRESULT STDMETHODCALLTYPE Restrict() = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateBookmark() = 0;
  virtual HRESULT STDMETHODCALLTYPE FreeBookmark() = 0;
  virtual HRESULT STDMETHODCALLTYPE SortTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE QuerySortOrder() = 0;
  // The next rows from the cursor, in one buffer for the set and one for each
  // row's values, all freed with MAPIFreeBuffer; no rows: the end.
  virtual HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG flags, RowSet** rows) = 0;
};

// Changes the message services of one profile.
struct IMsgServiceAdmin : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;  // not called
  virtual HRESULT STDMETHODCALLTYPE GetMsgServiceTable(ULONG flags, IMAPITable** table) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateMsgService(LPSTR service, LPSTR display_name, ULONG_PTR window,
                                                     ULONG flags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DeleteMsgService(Uid* service) = 0;
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
typedef ULONG(STDMETHODCALLTYPE* FreeBufferFunction)(LPVOID buffer);
typedef HRESULT(STDMETHODCALLTYPE* LogonExFunction)(ULONG_PTR window, LPSTR profile, LPSTR password, ULONG flags,
                                                     IMAPISession** session);

}  // namespace pw::mapi
