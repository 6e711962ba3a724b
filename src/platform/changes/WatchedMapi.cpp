#include "platform/changes/WatchedMapi.h"

#include <algorithm>
#include <vector>

namespace pw {

namespace {

class WatchedServices : public MapiServiceAdmin {
 public:
  WatchedServices(MapiServiceAdminPtr target, std::string profile, MapiWatch& watch, bool hold)
      : target_(std::move(target)), profile_(std::move(profile)), watch_(watch), hold_(hold) {}

  HResult CreateMsgService(const std::string& service, const std::string& display_name) override {
    const HResult noted = watch_.BeforeCreate(profile_, service, display_name);
    if (Failed(noted) || hold_) return noted;
    std::vector<MapiUid> before, after;
    const bool listed = !Failed(target_->ServiceUids(&before));
    const HResult created = target_->CreateMsgService(service, display_name);
    if (Failed(created)) return created;
    std::optional<MapiUid> uid;
    if (listed && !Failed(target_->ServiceUids(&after))) {
      for (const MapiUid& candidate : after)
        if (std::find(before.begin(), before.end(), candidate) == before.end()) uid = candidate;
    }
    watch_.Created(profile_, uid);
    return created;
  }
  HResult ServiceUids(std::vector<MapiUid>* out) override { return target_->ServiceUids(out); }
  HResult DeleteMsgService(const MapiUid& uid) override {
    return hold_ ? hres::kOk : target_->DeleteMsgService(uid);
  }

 private:
  MapiServiceAdminPtr target_;
  std::string profile_;
  MapiWatch& watch_;
  const bool hold_;
};

class WatchedProfiles : public MapiProfileAdmin {
 public:
  WatchedProfiles(MapiProfileAdminPtr target, MapiWatch& watch, bool hold)
      : target_(std::move(target)), watch_(watch), hold_(hold) {}

  HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) override {
    MapiServiceAdminPtr services;
    const HResult result = target_->AdminServices(profile, &services);
    if (Failed(result)) return result;
    *out = std::make_unique<WatchedServices>(std::move(services), profile, watch_, hold_);
    return result;
  }

 private:
  MapiProfileAdminPtr target_;
  MapiWatch& watch_;
  const bool hold_;
};

}  // namespace

HResult WatchedMapi::AdminProfiles(MapiProfileAdminPtr* out) {
  MapiProfileAdminPtr profiles;
  const HResult result = target_.AdminProfiles(&profiles);
  if (Failed(result)) return result;
  *out = std::make_unique<WatchedProfiles>(std::move(profiles), watch_, hold_);
  return result;
}

}  // namespace pw
