// Outlook's MAPI profiles, and the checks both Outlook writers make before they
// touch an account: Outlook must start with a default profile rather than ask
// for one, and its profiles key must say which profile that is.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace pw {

// Below HKEY_CURRENT_USER: one subkey per profile; "DefaultProfile" names the default.
extern const char kMapiProfilesKey[];

// True when Outlook asks for a profile at every start: its "PickLogonProfile"
// option begins with "1". An option that cannot be read does not ask.
bool AsksForProfileAtStart(Registry& registry);

// Opens the profiles key with all-access rights, as the writers need it, and
// reads the default profile's name (empty when there is none). The open's
// answer: 2 when Outlook has no profiles yet.
Status ReadDefaultProfile(Registry& registry, std::string* profile);

}  // namespace pw
