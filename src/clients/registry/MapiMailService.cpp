#include "clients/registry/MapiMailService.h"

#include <algorithm>
#include <cstdio>
#include <optional>
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

  // The first failure ends the step with one line.
  bool operator()(const char* message, HResult result) const {
    char code[16];
    std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(static_cast<uint32_t>(result)));
    const std::string line = std::string(message) + " hRes = 0x" + code;
    out.Out(line + "\n");
    log.Line(line);
    return false;
  }
};

// The names of the profile's sections; none when they cannot be listed, and
// then no section can be told apart as new.
std::optional<std::vector<std::string>> SectionNames(Registry& registry, const std::string& profile_key) {
  RegKeyPtr key;
  const Status opened = registry.OpenKey(RegRoot::kCurrentUser, profile_key, RegAccess::kAllAccess, &key);
  if (opened == err::kFileNotFound) return std::vector<std::string>();
  uint32_t count = 0;
  if (opened || key->CountSubkeys(&count)) return std::nullopt;
  std::vector<std::string> names;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    if (key->EnumSubkey(i, &name)) return std::nullopt;
    names.push_back(name);
  }
  return names;
}

// MAPI's steps in order; the first that fails is reported and ends them.
// What they obtained is released when this returns.
bool RunSteps(Mapi& mapi, const Report& report, const std::string& profile, const std::string& address) {
  MapiProfileAdminPtr profiles;
  HResult step = mapi.AdminProfiles(&profiles);
  if (Failed(step)) return report("Error getting IProfAdmin interface.", step);
  MapiSessionPtr session;  // not used, but logged on for as long as the services are changed
  step = mapi.LogonEx(profile, &session);
  if (Failed(step)) return report("Error logging on.", step);
  MapiServiceAdminPtr services;
  step = profiles->AdminServices(profile, &services);
  if (Failed(step)) return report("Error getting IMsgServiceAdmin interface.", step);
  step = services->CreateMsgService("IMAIL", address);
  if (Failed(step)) return report("Error creating Exchange message service.", step);
  return true;
}

// MAPI is uninitialised on every path, after everything is released.
bool CreateService(Mapi& mapi, const Report& report, const std::string& profile, const std::string& address) {
  const HResult initialized = mapi.Initialize();
  if (Failed(initialized)) return report("Error initializing MAPI.", initialized);
  const bool created = RunSteps(mapi, report, profile, address);
  mapi.Uninitialize();
  return created;
}

// Names the Internet E-Mail entries among the sections that are new since `before`.
void NameNewEntries(Registry& registry, const std::string& profile_key, const std::vector<std::string>& before,
                    const std::string& account_name) {
  const std::optional<std::vector<std::string>> now = SectionNames(registry, profile_key);
  if (!now) return;
  for (const std::string& name : *now) {
    if (std::find(before.begin(), before.end(), name) != before.end()) continue;
    RegKeyPtr section;
    if (registry.OpenKey(RegRoot::kCurrentUser, profile_key + "\\" + name, RegAccess::kAllAccess, &section)) continue;
    if (ReadRegText(*section, kServiceEntryName) != kMailServiceEntry) continue;
    // The service works without these names, so one that cannot be written
    // is let go, as MAPI's own failures are.
    static_cast<void>(section->SetValue(kDisplayName, regtype::kSz, "Internet E-Mail - " + account_name));
    static_cast<void>(section->SetValue(kAccountName, regtype::kSz, account_name));
  }
}

}  // namespace

bool AddMapiMailService(Registry& registry, Mapi& mapi, StdOut& out, RunLog& log, const std::string& profile,
                        const std::string& address, const std::string& account_name) {
  const std::string profile_key = std::string(kMapiProfilesKey) + "\\" + profile;
  const std::optional<std::vector<std::string>> before = SectionNames(registry, profile_key);
  if (!CreateService(mapi, Report{out, log}, profile, address)) return false;
  if (before) NameNewEntries(registry, profile_key, *before, account_name);
  return true;
}

}  // namespace pw
