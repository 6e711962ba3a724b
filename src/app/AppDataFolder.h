// The user's application-data folder, where the run log goes and where
// Thunderbird and Eudora keep their settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/System.h"

namespace pw {

// The folders it may be, in the order the program tries them: the value
// "APPDATA" of HKCU "Volatile Environment" (read as the program has always
// read it: at most 300 bytes, up to its first NUL), then the folder the shell
// reports. A value that cannot be read or is empty names no folder.
std::vector<std::string> AppDataFolders(Registry& registry, Environment& environment);

// The first of them; none when neither is known.
std::optional<std::string> AppDataFolder(Registry& registry, Environment& environment);

}  // namespace pw
