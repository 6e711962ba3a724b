#include "platform/memory/MemoryMapi.h"

#include <cstdio>

namespace pw {

const char MemoryMapi::kProfilesKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

namespace {

// A string property as MAPI stores it in a profile section: its bytes and a NUL.
std::string PropertyText(const std::string& text) { return text + '\0'; }

}  // namespace

// Everything handed out counts itself while it lives.
class MemoryMapi::Session : public MapiSession {
 public:
  explicit Session(MemoryMapi& mapi) : mapi_(mapi) { ++mapi_.live_objects_; }
  ~Session() override { --mapi_.live_objects_; }

 private:
  MemoryMapi& mapi_;
};

class MemoryMapi::ServiceAdmin : public MapiServiceAdmin {
 public:
  ServiceAdmin(MemoryMapi& mapi, std::string profile) : mapi_(mapi), profile_(std::move(profile)) {
    ++mapi_.live_objects_;
  }
  ~ServiceAdmin() override { --mapi_.live_objects_; }

  HResult CreateMsgService(const std::string& service, const std::string& display_name) override {
    return mapi_.CreateMsgService(profile_, service, display_name);
  }

 private:
  MemoryMapi& mapi_;
  std::string profile_;
};

class MemoryMapi::ProfileAdmin : public MapiProfileAdmin {
 public:
  explicit ProfileAdmin(MemoryMapi& mapi) : mapi_(mapi) { ++mapi_.live_objects_; }
  ~ProfileAdmin() override { --mapi_.live_objects_; }

  HResult AdminServices(const std::string& profile, MapiServiceAdminPtr* out) override {
    if (HResult refused = mapi_.Refusal(MapiStep::kAdminServices)) return refused;
    if (!mapi_.HasProfile(profile)) return hres::kNotFound;
    *out = std::make_unique<ServiceAdmin>(mapi_, profile);
    return hres::kOk;
  }

 private:
  MemoryMapi& mapi_;
};

HResult MemoryMapi::Initialize() {
  if (HResult refused = Refusal(MapiStep::kInitialize)) return refused;
  ++initialized_;
  return hres::kOk;
}

void MemoryMapi::Uninitialize() { --initialized_; }

HResult MemoryMapi::AdminProfiles(MapiProfileAdminPtr* out) {
  if (HResult refused = Refusal(MapiStep::kAdminProfiles)) return refused;
  *out = std::make_unique<ProfileAdmin>(*this);
  return hres::kOk;
}

HResult MemoryMapi::LogonEx(const std::string& profile, MapiSessionPtr* out) {
  if (HResult refused = Refusal(MapiStep::kLogonEx)) return refused;
  if (!HasProfile(profile)) return hres::kLogonFailed;
  *out = std::make_unique<Session>(*this);
  return hres::kOk;
}

HResult MemoryMapi::Refusal(MapiStep step) const {
  const auto failure = failures_.find(step);
  if (failure != failures_.end()) return failure->second;
  if (step != MapiStep::kInitialize && initialized_ <= 0) return hres::kNotInitialized;
  return hres::kOk;
}

bool MemoryMapi::HasProfile(const std::string& profile) const {
  return !profile.empty() && registry_.HasKey(RegRoot::kCurrentUser, std::string(kProfilesKey) + "\\" + profile);
}

// The service gets a section of its own, and its entry (the mail transport)
// another, which is where the service's account names belong.
HResult MemoryMapi::CreateMsgService(const std::string& profile, const std::string& service,
                                     const std::string& display_name) {
  if (HResult refused = Refusal(MapiStep::kCreateMsgService)) return refused;
  const std::string profile_key = std::string(kProfilesKey) + "\\" + profile + "\\";
  const std::string service_section = profile_key + NewSectionName();
  registry_.Put(RegRoot::kCurrentUser, service_section, "001e3d09", regtype::kBinary, PropertyText(service));
  registry_.Put(RegRoot::kCurrentUser, service_section, "001e3001", regtype::kBinary, PropertyText(display_name));
  registry_.Put(RegRoot::kCurrentUser, profile_key + NewSectionName(), "001e3d0b", regtype::kBinary,
                PropertyText("MailServiceEntry"));
  services_.push_back(profile + ": " + service + ", " + display_name);
  return hres::kOk;
}

// Sections are named by 32 hexadecimal digits, like MAPI's unique identifiers.
std::string MemoryMapi::NewSectionName() {
  char name[40];
  std::snprintf(name, sizeof name, "5e55e55e%024x", ++sections_made_);
  return name;
}

}  // namespace pw
