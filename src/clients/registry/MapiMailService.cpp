#include "clients/registry/MapiMailService.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "clients/registry/OutlookProfiles.h"

namespace pw {

namespace {

// Profile sections keep MAPI properties as values named by their tags.
const char kServiceEntryName[] = "001e3d0b";
const char kDisplayName[] = "001e3001";
const char kAccountName[] = "001e661f";
// What MAPI calls the section of an Internet E-Mail service that holds its account.
const char kMailServiceEntry[] = "MailServiceEntry";

// Where a failed step is told: standard output, and the run log, where an
// administrator reads why the run failed.
struct Report {
  StdOut& out;
  RunLog& log;

  // A failure ends the step with one line (and one more when what was
  // made cannot be taken back).
  bool operator()(const char* message, HResult result) const {
    char code[16];
    std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(static_cast<uint32_t>(result)));
    const std::string line = std::string(message) + " hRes = 0x" + code;
    out.Out(line + "\n");
    log.Line(line);
    return false;
  }
};

// The names of the profile's sections (none when it has no key yet).
Status SectionNames(Registry& registry, const std::string& profile_key, std::vector<std::string>* names) {
  names->clear();
  RegKeyPtr key;
  const Status opened = registry.OpenKey(RegRoot::kCurrentUser, profile_key, RegAccess::kAllAccess, &key);
  if (opened == err::kFileNotFound) return err::kSuccess;
  if (opened) return opened;
  return ListSubkeys(*key, names);
}

// Names the Internet E-Mail entries among the sections that are new since
// `before`. A section that cannot be opened might be the entry, so it fails
// the naming as a write does.
Status NameNewEntries(Registry& registry, const std::string& profile_key, const std::vector<std::string>& before,
                      const std::string& account_name) {
  std::vector<std::string> now;
  if (const Status listed = SectionNames(registry, profile_key, &now)) return listed;
  for (const std::string& name : now) {
    if (std::find(before.begin(), before.end(), name) != before.end()) continue;
    RegKeyPtr section;
    if (const Status opened =
            registry.OpenKey(RegRoot::kCurrentUser, profile_key + "\\" + name, RegAccess::kAllAccess, &section))
      return opened;
    if (ReadRegText(*section, kServiceEntryName) != kMailServiceEntry) continue;
    if (const Status set = section->SetValue(kDisplayName, regtype::kSz, "Internet E-Mail - " + account_name))
      return set;
    if (const Status set = section->SetValue(kAccountName, regtype::kSz, account_name)) return set;
  }
  return err::kSuccess;
}

// The service created since the table held `before`: the one row that is new.
HResult NewService(MapiServiceAdmin& services, const std::vector<MapiUid>& before, MapiUid* uid) {
  std::vector<MapiUid> now;
  const HResult listed = services.ServiceUids(&now);
  if (Failed(listed)) return listed;
  int found = 0;
  for (const MapiUid& candidate : now) {
    if (std::find(before.begin(), before.end(), candidate) != before.end()) continue;
    *uid = candidate;
    ++found;
  }
  return found == 1 ? hres::kOk : hres::kNotFound;
}

// Adds the service to the profile and names it, through the service
// administration MAPI handed out for the profile. A service that cannot be
// named is taken back through MAPI, which removes all it made for it.
struct NamedService {
  Registry& registry;
  MapiServiceAdmin& services;
  const Report& report;
  std::string profile_key;

  bool Add(const std::string& address, const std::string& account_name) {
    std::vector<MapiUid> services_before;
    const HResult listed = services.ServiceUids(&services_before);
    if (Failed(listed)) return report("Error getting the message service table.", listed);
    std::vector<std::string> sections_before;
    if (const Status snapshot = SectionNames(registry, profile_key, &sections_before))
      return report("Error naming the new message service.", HResultOfStatus(snapshot));
    const HResult created = services.CreateMsgService("IMAIL", address);
    if (Failed(created)) return report("Error creating Exchange message service.", created);
    const Status named = NameNewEntries(registry, profile_key, sections_before, account_name);
    if (!named) return true;
    report("Error naming the new message service.", HResultOfStatus(named));
    TakeBack(services_before);
    return false;
  }

  // A service that stays although the step failed is told too.
  void TakeBack(const std::vector<MapiUid>& services_before) {
    MapiUid uid{};
    HResult deleted = NewService(services, services_before, &uid);
    if (!Failed(deleted)) deleted = services.DeleteMsgService(uid);
    if (Failed(deleted)) report("Error deleting the new message service.", deleted);
  }
};

// MAPI's steps in order; the first that fails is reported and ends them.
// What they obtained is released when this returns.
bool RunSteps(Registry& registry, Mapi& mapi, const Report& report, const std::string& profile,
              const std::string& address, const std::string& account_name) {
  MapiProfileAdminPtr profiles;
  HResult step = mapi.AdminProfiles(&profiles);
  if (Failed(step)) return report("Error getting IProfAdmin interface.", step);
  MapiSessionPtr session;  // not used, but logged on for as long as the services are changed
  step = mapi.LogonEx(profile, &session);
  if (Failed(step)) return report("Error logging on.", step);
  MapiServiceAdminPtr services;
  step = profiles->AdminServices(profile, &services);
  if (Failed(step)) return report("Error getting IMsgServiceAdmin interface.", step);
  NamedService service{registry, *services, report, std::string(kMapiProfilesKey) + "\\" + profile};
  return service.Add(address, account_name);
}

}  // namespace

bool AddMapiMailService(Registry& registry, Mapi& mapi, StdOut& out, RunLog& log, const std::string& profile,
                        const std::string& address, const std::string& account_name) {
  const Report report{out, log};
  const HResult initialized = mapi.Initialize();
  if (Failed(initialized)) return report("Error initializing MAPI.", initialized);
  // MAPI is uninitialised on every path, after everything is released.
  const bool added = RunSteps(registry, mapi, report, profile, address, account_name);
  mapi.Uninitialize();
  return added;
}

}  // namespace pw
