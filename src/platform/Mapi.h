// MAPI's profile administration: the few steps that add a message service to
// a mail profile. Every step answers with MAPI's own result code, an HRESULT
// (negative: failed); nothing throws. What a step hands out (the profile
// administration, a session, the service administration) is released when it
// goes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace pw {

enum [[nodiscard]] HResult : int32_t {};

// An HRESULT as Windows spells it, e.g. 0x80004005.
constexpr HResult HResultOf(uint32_t code) { return static_cast<HResult>(static_cast<int32_t>(code)); }
constexpr bool Failed(HResult result) { return result < 0; }

namespace hres {
constexpr HResult kOk = HResultOf(0);
constexpr HResult kFail = HResultOf(0x80004005);          // E_FAIL
constexpr HResult kNotFound = HResultOf(0x8004010f);      // MAPI_E_NOT_FOUND
constexpr HResult kLogonFailed = HResultOf(0x80040111);   // MAPI_E_LOGON_FAILED
constexpr HResult kNotInitialized = HResultOf(0x80040605);  // MAPI_E_NOT_INITIALIZED
}  // namespace hres

// A Windows error code as MAPI answers it (HRESULT_FROM_WIN32), and the code
// back from such an answer (its low 16 bits).
constexpr HResult HResultOfStatus(Status status) {
  return status == err::kSuccess ? hres::kOk : HResultOf(0x80070000u | (static_cast<uint32_t>(status) & 0xFFFFu));
}
constexpr Status StatusOfHResult(HResult result) { return StatusOf(static_cast<uint32_t>(result) & 0xFFFFu); }

// What tells one message service of a profile from the others (MAPIUID).
using MapiUid = std::array<uint8_t, 16>;

// A profile's message services (IMsgServiceAdmin).
class MapiServiceAdmin {
 public:
  MapiServiceAdmin() = default;
  MapiServiceAdmin(const MapiServiceAdmin&) = delete;
  MapiServiceAdmin& operator=(const MapiServiceAdmin&) = delete;
  virtual ~MapiServiceAdmin() = default;

  // Adds the service called `service` (e.g. "IMAIL"), shown as
  // `display_name`, without any window.
  virtual HResult CreateMsgService(const std::string& service, const std::string& display_name) = 0;
  // The identifiers of the profile's services, from its service table. MAPI
  // does not tell which service CreateMsgService made: it is the one that was
  // not in the table before.
  virtual HResult ServiceUids(std::vector<MapiUid>* out) = 0;
  // Removes the service `uid` and everything MAPI keeps for it in the profile.
  virtual HResult DeleteMsgService(const MapiUid& uid) = 0;
};

// A logged-on session; destroying it logs off.
class MapiSession {
 public:
  MapiSession() = default;
  MapiSession(const MapiSession&) = delete;
  MapiSession& operator=(const MapiSession&) = delete;
  virtual ~MapiSession() = default;
};

using MapiServiceAdminPtr = std::unique_ptr<MapiServiceAdmin>;
using MapiSessionPtr = std::unique_ptr<MapiSession>;

// The profiles (IProfAdmin).
class MapiProfileAdmin {
 public:
  MapiProfileAdmin() = default;
  MapiProfileAdmin(const MapiProfileAdmin&) = delete;
  MapiProfileAdmin& operator=(const MapiProfileAdmin&) = delete;
  virtual ~MapiProfileAdmin() = default;

  // The services of `profile` (no password, no window).
  virtual HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) = 0;
};

using MapiProfileAdminPtr = std::unique_ptr<MapiProfileAdmin>;

class Mapi {
 public:
  virtual ~Mapi() = default;
  // Every other call needs MAPI initialised; each successful Initialize is
  // matched by one Uninitialize, after everything handed out is released.
  virtual HResult Initialize() = 0;
  virtual void Uninitialize() = 0;
  virtual HResult AdminProfiles(MapiProfileAdminPtr* out) = 0;
  // Logs on to `profile` (no password, no window).
  virtual HResult LogonEx(const std::string& profile, MapiSessionPtr* out) = 0;
};

}  // namespace pw
