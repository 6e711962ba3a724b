// Which mail clients are installed: a client is installed exactly when its
// machine-wide registration key below "SOFTWARE\Clients\Mail" opens for
// reading. Per-user registrations, program files and running processes are not
// looked at.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace pw {

// What the Outlook version reads as when it cannot be read; below 10, so the
// older Outlook writer is chosen, as when Outlook is not detected at all.
constexpr int kOutlookVersionUnknown = -1;

// `registration` is the key's name below "SOFTWARE\Clients\Mail".
bool IsClientInstalled(Registry& registry, const std::string& registration);

// Outlook's major version (9, 10, 11, 12, ...), taken from the number after
// the first "Office\" in the "MSIApplicationLCID" text of its registration.
// kOutlookVersionUnknown when the key or value is missing, the value does not
// fit its 300-byte buffer, or the text holds no "Office\".
int GetOutlookVersion(Registry& registry, const std::string& registration);

}  // namespace pw
