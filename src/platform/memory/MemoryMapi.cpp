#include "platform/memory/MemoryMapi.h"

#include <algorithm>
#include <cstdio>

namespace pw {

const char MemoryMapi::kProfilesKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

namespace {

// A string property as MAPI stores it in a profile section: its bytes and a NUL.
std::string PropertyText(const std::string& text) { return text + '\0'; }

const char kServiceName[] = "001e3d09";  // PR_SERVICE_NAME: only a service's own section has it
const char kServiceUid[] = "01023d0c";   // PR_SERVICE_UID: the service a section belongs to

std::string UidBytes(const MapiUid& uid) { return std::string(uid.begin(), uid.end()); }

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
  HResult ServiceUids(std::vector<MapiUid>* out) override { return mapi_.ServiceUids(profile_, out); }
  HResult DeleteMsgService(const MapiUid& uid) override { return mapi_.DeleteMsgService(profile_, uid); }

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
  const std::string own_name = NewSectionName();
  const std::string service_section = profile_key + own_name;
  // The section's name is the identifier in hexadecimal, byte by byte.
  std::string uid;
  for (size_t i = 0; i + 1 < own_name.size(); i += 2)
    uid += static_cast<char>(std::stoul(own_name.substr(i, 2), nullptr, 16));
  const std::string entry_section = profile_key + NewSectionName();
  registry_.Put(RegRoot::kCurrentUser, service_section, kServiceName, regtype::kBinary, PropertyText(service));
  registry_.Put(RegRoot::kCurrentUser, service_section, "001e3001", regtype::kBinary, PropertyText(display_name));
  registry_.Put(RegRoot::kCurrentUser, service_section, kServiceUid, regtype::kBinary, uid);
  registry_.Put(RegRoot::kCurrentUser, entry_section, "001e3d0b", regtype::kBinary, PropertyText("MailServiceEntry"));
  registry_.Put(RegRoot::kCurrentUser, entry_section, kServiceUid, regtype::kBinary, uid);
  services_.push_back(profile + ": " + service + ", " + display_name);
  return hres::kOk;
}

std::vector<std::string> MemoryMapi::Sections(const std::string& profile) {
  std::vector<std::string> names;
  RegKeyPtr key;
  uint32_t count = 0;
  if (registry_.OpenKey(RegRoot::kCurrentUser, std::string(kProfilesKey) + "\\" + profile, RegAccess::kRead, &key) ||
      key->CountSubkeys(&count))
    return names;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (!key->EnumSubkey(i, &name)) names.push_back(std::string(kProfilesKey) + "\\" + profile + "\\" + name);
  }
  return names;
}

// The table's rows are the sections that name a service.
HResult MemoryMapi::ServiceUids(const std::string& profile, std::vector<MapiUid>* out) {
  if (HResult refused = Refusal(MapiStep::kServiceTable)) return refused;
  out->clear();
  for (const std::string& section : Sections(profile)) {
    RegValue name, uid;
    if (!registry_.Get(RegRoot::kCurrentUser, section, kServiceName, &name) ||
        !registry_.Get(RegRoot::kCurrentUser, section, kServiceUid, &uid) || uid.data.size() != sizeof(MapiUid))
      continue;
    out->emplace_back();
    std::copy(uid.data.begin(), uid.data.end(), out->back().begin());
  }
  return hres::kOk;
}

// Every section marked with the service's identifier goes.
HResult MemoryMapi::DeleteMsgService(const std::string& profile, const MapiUid& uid) {
  if (HResult refused = Refusal(MapiStep::kDeleteMsgService)) return refused;
  std::vector<std::string> doomed;
  bool service = false;
  for (const std::string& section : Sections(profile)) {
    RegValue mark, name;
    if (!registry_.Get(RegRoot::kCurrentUser, section, kServiceUid, &mark) || mark.data != UidBytes(uid)) continue;
    doomed.push_back(section);
    service = service || registry_.Get(RegRoot::kCurrentUser, section, kServiceName, &name);
  }
  if (!service) return hres::kNotFound;
  for (const std::string& section : doomed)
    if (registry_.DeleteKey(RegRoot::kCurrentUser, section)) return hres::kFail;
  return hres::kOk;
}

// Sections are named by 32 hexadecimal digits, like MAPI's unique identifiers.
std::string MemoryMapi::NewSectionName() {
  char name[40];
  std::snprintf(name, sizeof name, "5e55e55e%024x", ++sections_made_);
  return name;
}

}  // namespace pw
