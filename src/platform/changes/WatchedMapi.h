// MAPI with the creation of message services watched: a what-if run keeps a
// service from being made and lists it; a real run notes it in its backup
// before MAPI makes it, and which service MAPI made once it has.
#pragma once

#include <optional>
#include <string>

#include "platform/Mapi.h"

namespace pw {

class MapiWatch {
 public:
  virtual ~MapiWatch() = default;
  // Before the service is made; a failure keeps it from being made.
  virtual HResult BeforeCreate(const std::string& profile, const std::string& service,
                               const std::string& display_name) = 0;
  // After it was made: its identifier, when the service table tells it.
  virtual void Created(const std::string& profile, const std::optional<MapiUid>& uid) = 0;
};

class WatchedMapi : public Mapi {
 public:
  // `hold`: services are never made (nor deleted); every other step is MAPI's own.
  WatchedMapi(Mapi& target, MapiWatch& watch, bool hold) : target_(target), watch_(watch), hold_(hold) {}

  HResult Initialize() override { return target_.Initialize(); }
  void Uninitialize() override { target_.Uninitialize(); }
  HResult AdminProfiles(MapiProfileAdminPtr* out) override;
  HResult LogonEx(const std::string& profile, MapiSessionPtr* out) override { return target_.LogonEx(profile, out); }

 private:
  Mapi& target_;
  MapiWatch& watch_;
  const bool hold_;
};

}  // namespace pw
