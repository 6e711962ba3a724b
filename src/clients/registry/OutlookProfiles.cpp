#include "clients/registry/OutlookProfiles.h"

namespace pw {

const char kMapiProfilesKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

namespace {

const char kClientOptionsKey[] = "Software\\Microsoft\\Exchange\\Client\\Options";

}  // namespace

bool AsksForProfileAtStart(Registry& registry) {
  RegKeyPtr options;
  if (registry.OpenKey(RegRoot::kCurrentUser, kClientOptionsKey, RegAccess::kAllAccess, &options) != err::kSuccess)
    return false;
  const std::string pick = ReadRegText(*options, "PickLogonProfile");
  return !pick.empty() && pick[0] == '1';
}

Status ReadDefaultProfile(Registry& registry, std::string* profile) {
  RegKeyPtr profiles;
  if (Status status = registry.OpenKey(RegRoot::kCurrentUser, kMapiProfilesKey, RegAccess::kAllAccess, &profiles))
    return status;
  *profile = ReadRegText(*profiles, "DefaultProfile");
  return err::kSuccess;
}

}  // namespace pw
