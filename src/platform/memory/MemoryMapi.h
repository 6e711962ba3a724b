// The MAPI twin. Its profiles are the keys below the current user's
// "Windows Messaging Subsystem\Profiles" in the twin registry, where MAPI keeps
// them, and creating a message service adds the service's sections to the
// profile's key there, as MAPI does: a section named by the service's
// identifier ("5e55e55e" and 24 more hexadecimal digits) and one for its
// entry, both marked with that identifier, which is how deleting the service
// finds all it made. Any step can be made to fail with a chosen result; the
// twin counts what is initialised and handed out, so a test can see that
// everything was released.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Mapi.h"
#include "platform/memory/MemoryRegistry.h"

namespace pw {

enum class MapiStep {
  kInitialize,
  kAdminProfiles,
  kLogonEx,
  kAdminServices,
  kCreateMsgService,
  kServiceTable,
  kDeleteMsgService,
};

class MemoryMapi : public Mapi {
 public:
  // Below HKEY_CURRENT_USER: one subkey per profile.
  static const char kProfilesKey[];

  explicit MemoryMapi(MemoryRegistry& registry) : registry_(registry) {}

  HResult Initialize() override;
  void Uninitialize() override;
  HResult AdminProfiles(MapiProfileAdminPtr* out) override;
  HResult LogonEx(const std::string& profile, MapiSessionPtr* out) override;

  // From now on the step answers `result` and does nothing.
  void Fail(MapiStep step, HResult result) { failures_[step] = result; }
  void ClearFailures() { failures_.clear(); }
  // Initialize calls not yet matched by Uninitialize.
  int initialized() const { return initialized_; }
  // Profile administrations, sessions and service administrations not yet released.
  int live_objects() const { return live_objects_; }
  // Each service created, as "profile: service, display name".
  const std::vector<std::string>& services() const { return services_; }

 private:
  class ProfileAdmin;
  class ServiceAdmin;
  class Session;

  // The answer a step gives before doing anything: a chosen failure, or
  // MAPI's own when it is not initialised.
  HResult Refusal(MapiStep step) const;
  bool HasProfile(const std::string& profile) const;
  HResult CreateMsgService(const std::string& profile, const std::string& service, const std::string& display_name);
  HResult ServiceUids(const std::string& profile, std::vector<MapiUid>* out);
  HResult DeleteMsgService(const std::string& profile, const MapiUid& uid);
  std::vector<std::string> Sections(const std::string& profile);
  std::string NewSectionName();

  MemoryRegistry& registry_;
  std::map<MapiStep, HResult> failures_;
  int initialized_ = 0;
  int live_objects_ = 0;
  unsigned sections_made_ = 0;
  std::vector<std::string> services_;
};

}  // namespace pw
