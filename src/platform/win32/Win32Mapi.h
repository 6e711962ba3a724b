// MAPI through mapi32.dll. The program never imports it, so a machine without
// MAPI still starts the program and only this step fails there. The library is
// loaded from the system folder alone, never from the program's folder or the
// search path, where anybody could leave a DLL of that name; once loaded it
// stays until the program ends, as MAPI's own threads may still be running in
// it after MAPIUninitialize.
#pragma once

#include <windows.h>

#include "platform/Mapi.h"
#include "platform/win32/MapiInterfaces.h"

namespace pw {

class Win32Mapi : public Mapi {
 public:
  Win32Mapi() = default;
  Win32Mapi(const Win32Mapi&) = delete;
  Win32Mapi& operator=(const Win32Mapi&) = delete;

  // Loads mapi32.dll (once); a machine without it answers with the
  // loader's error as an HRESULT.
  HResult Initialize() override;
  void Uninitialize() override;
  HResult AdminProfiles(MapiProfileAdminPtr* out) override;
  // A session of its own, with no spooler: nothing is sent or received
  // while the profile is changed.
  HResult LogonEx(const std::string& profile, MapiSessionPtr* out) override;

 private:
  HResult Load();

  HMODULE library_ = nullptr;
  mapi::InitializeFunction initialize_ = nullptr;
  mapi::UninitializeFunction uninitialize_ = nullptr;
  mapi::AdminProfilesFunction admin_profiles_ = nullptr;
  mapi::LogonExFunction logon_ex_ = nullptr;
  mapi::FreeBufferFunction free_buffer_ = nullptr;
  int initialized_ = 0;
};

}  // namespace pw
