// MAPI through mapi32.dll, loaded when MAPI is initialised and let go when it
// is uninitialised: the program never imports it, so a machine without MAPI
// still starts it, and only this step fails there.
#pragma once

#include <windows.h>
#include <mapix.h>

#include "platform/Mapi.h"

namespace pw {

class Win32Mapi : public Mapi {
 public:
  Win32Mapi() = default;
  Win32Mapi(const Win32Mapi&) = delete;
  Win32Mapi& operator=(const Win32Mapi&) = delete;
  ~Win32Mapi() override;

  // Loads mapi32.dll; a machine without it answers with the loader's error
  // as an HRESULT.
  HResult Initialize() override;
  void Uninitialize() override;
  HResult AdminProfiles(MapiProfileAdminPtr* out) override;
  HResult LogonEx(const std::string& profile, MapiSessionPtr* out) override;

 private:
  void Unload();

  HMODULE library_ = nullptr;
  // Each entry point has the type mapix.h declares for it, calling
  // convention included: a wrong one would wreck the 32-bit program's stack.
  LPMAPIUNINITIALIZE uninitialize_ = nullptr;
  LPMAPIADMINPROFILES admin_profiles_ = nullptr;
  LPMAPILOGONEX logon_ex_ = nullptr;
};

}  // namespace pw
