#include "clients/registry/OutlookProfiles.h"

namespace pw {

const char kMapiProfilesKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";

namespace {

const char kClientOptionsKey[] = "Software\\Microsoft\\Exchange\\Client\\Options";

}  // namespace

OutlookProfileKeys ProfileKeysOf(int outlook_version) {
  if (outlook_version < kFirstOutlookWithOwnProfiles) return {kMapiProfilesKey, kMapiProfilesKey};
  const std::string outlook_key = "Software\\Microsoft\\Office\\" + std::to_string(outlook_version) + ".0\\Outlook";
  return {outlook_key + "\\Profiles", outlook_key};
}

bool AsksForProfileAtStart(Registry& registry) {
  RegKeyPtr options;
  if (registry.OpenKey(RegRoot::kCurrentUser, kClientOptionsKey, RegAccess::kAllAccess, &options) != err::kSuccess)
    return false;
  const std::string pick = ReadRegText(*options, "PickLogonProfile");
  return !pick.empty() && pick[0] == '1';
}

Status ReadDefaultProfile(Registry& registry, std::string* profile) {
  return ReadDefaultProfile(registry, ProfileKeysOf(kFirstOutlookWithOwnProfiles - 1), profile);
}

Status ReadDefaultProfile(Registry& registry, const OutlookProfileKeys& keys, std::string* profile) {
  RegKeyPtr profiles;
  if (Status status = registry.OpenKey(RegRoot::kCurrentUser, keys.profiles, RegAccess::kAllAccess, &profiles))
    return status;
  profile->clear();
  if (keys.default_profile_key == keys.profiles) {
    *profile = ReadRegText(*profiles, "DefaultProfile");
    return err::kSuccess;
  }
  RegKeyPtr holder;
  if (registry.OpenKey(RegRoot::kCurrentUser, keys.default_profile_key, RegAccess::kRead, &holder) == err::kSuccess)
    *profile = ReadRegText(*holder, "DefaultProfile");
  return err::kSuccess;
}

}  // namespace pw
