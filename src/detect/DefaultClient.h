// The system's default mail client, recognised from the command that the
// system runs for mail links.
#pragma once

#include "detect/ClientDetection.h"
#include "platform/Registry.h"

namespace pw {

// Reads HKCR "mailto\shell\open\command" (its default value, at most 300
// bytes) and returns 0 none, 1 Outlook Express, 2 Outlook, 3 Windows Mail,
// 4 Eudora or 5 Thunderbird. Letter case is ignored; when several program
// names occur, "msimn" wins over "outlook.exe" over "winmail" over "eudora"
// over "thunde". A missing or unreadable command recognises nothing.
DefaultClientCode DetectDefaultClient(Registry& registry);

}  // namespace pw
