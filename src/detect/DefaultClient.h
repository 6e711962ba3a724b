// The system's default mail client, recognised from the command that the
// system runs for mail links.
#pragma once

#include <vector>

#include "detect/ClientDetection.h"
#include "platform/Registry.h"

namespace pw {

// Reads HKCR "mailto\shell\open\command" (its default value, at most 300
// bytes) and answers with the default-client code of the client whose mail-link
// text occurs in it, letter case ignored. When several occur, the one listed
// first in `clients` wins. A missing or unreadable command, or one that names
// none of them, recognises nothing (kNoDefaultClient).
DefaultClientCode DetectDefaultClient(Registry& registry, const std::vector<ClientMarks>& clients);

}  // namespace pw
