#include "clients/registry/RegistryListing.h"

#include <vector>

#include "clients/registry/OutlookProfiles.h"

namespace pw {

namespace {

const char kMessagesKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";

// The key for writing, as a support person's tools would open it; "error: "
// and the code when it cannot be.
bool OpenListed(Registry& registry, const std::string& key_path, RunLog& log, RegKeyPtr* key) {
  if (Status status = registry.OpenKey(RegRoot::kCurrentUser, key_path, RegAccess::kAllAccess, key)) {
    log << "error: " << status;
    log.EndLine();
    return false;
  }
  return true;
}

}  // namespace

void DumpRegistryTree(Registry& registry, const std::string& key_path, int depth, RunLog& log) {
  RegKeyPtr key;
  if (!OpenListed(registry, key_path, log, &key)) return;
  // A key whose subkeys cannot be counted lists none; a name that cannot be
  // read is left out.
  std::vector<std::string> names;
  static_cast<void>(ListSubkeys(*key, &names));
  for (const std::string& name : names) {
    for (int d = 0; d < depth; ++d) log << "   ";
    log << name;
    log.EndLine();
    DumpRegistryTree(registry, key_path + "\\" + name, depth + 1, log);
  }
}

void ListOutlookProfiles(Registry& registry, int outlook_version, RunLog& log) {
  const OutlookProfileKeys keys = ProfileKeysOf(outlook_version);
  if (keys.profiles == kMapiProfilesKey) {
    DumpRegistryTree(registry, kMessagesKey, 0, log);
    return;
  }
  RegKeyPtr profiles;
  if (!OpenListed(registry, keys.profiles, log, &profiles)) return;
  profiles.reset();
  log.Line("Profiles");
  DumpRegistryTree(registry, keys.profiles, 1, log);
}

}  // namespace pw
