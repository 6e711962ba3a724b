// Outlook's MAPI profiles, and the checks both Outlook writers make before they
// touch an account: Outlook must start with a default profile rather than ask
// for one, and its profiles key must say which profile that is.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace pw {

// Below HKEY_CURRENT_USER: one subkey per profile; "DefaultProfile" names the
// default. Outlook 2010 and earlier keep their profiles here.
extern const char kMapiProfilesKey[];

// The first Outlook (2013) that keeps its profiles below its own Office key.
constexpr int kFirstOutlookWithOwnProfiles = 15;

// Where an Outlook version keeps its profiles, below HKEY_CURRENT_USER, without
// a trailing backslash.
struct OutlookProfileKeys {
  std::string profiles;             // one subkey per profile
  std::string default_profile_key;  // holds "DefaultProfile"
};

// Outlook 2013 and later: "Software\Microsoft\Office\<v>.0\Outlook\Profiles",
// the default named in "Software\Microsoft\Office\<v>.0\Outlook"; any other
// version (an unknown one too): the Windows Messaging Subsystem's profiles key,
// which names its own default. A stale profile an older Outlook left there is
// not the newer one's.
OutlookProfileKeys ProfileKeysOf(int outlook_version);

// True when Outlook asks for a profile at every start: its "PickLogonProfile"
// option begins with "1". An option that cannot be read does not ask.
bool AsksForProfileAtStart(Registry& registry);

// Opens the profiles key with all-access rights, as the writers need it, and
// reads the default profile's name (empty when there is none). The open's
// answer: 2 when Outlook has no profiles yet.
Status ReadDefaultProfile(Registry& registry, std::string* profile);
// The same for the profiles of `keys`. A default-profile key of its own that
// cannot be read names no default.
Status ReadDefaultProfile(Registry& registry, const OutlookProfileKeys& keys, std::string* profile);

}  // namespace pw
