// Thunderbird's list of profiles, profiles.ini in the Thunderbird folder of
// the user's application data: finding the profile named "default", and the
// list written for a user who has never run Thunderbird.
#pragma once

#include <string>
#include <vector>

namespace pw {

// The profile folder of a list written by us, relative to the Thunderbird folder.
extern const char kNewProfileFolder[];
// The lines of that list.
std::vector<std::string> NewProfilesIni();

struct DefaultProfile {
  std::string path = "NULL";  // as the "Path=" line gives it; "NULL" when none was found
  bool relative = true;       // false when its section says "IsRelative=" other than 1
};

// The first "Path=" line from the first line that contains "Name=default" on
// (a substring match, so "default-release" counts too).
DefaultProfile FindDefaultProfilePath(const std::vector<std::string>& profiles_ini);

}  // namespace pw
