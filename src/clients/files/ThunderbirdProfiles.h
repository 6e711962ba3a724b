// Thunderbird's list of profiles, profiles.ini in the Thunderbird folder of
// the user's application data: choosing the profile that Thunderbird opens
// when it is started, and the list written for a user who has never run it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pw {

// The profile folder of a list written by us, relative to the Thunderbird
// folder, and the same as its Path= line gives it.
extern const char kNewProfileFolder[];
extern const char kNewProfilePath[];
// The lines of that list. With an install hash (ThunderbirdInstallHash), the
// list names the profile for that installation too: a current Thunderbird
// opens only the profile its own [Install<hash>] section names, and makes a
// new, empty one when there is none.
std::vector<std::string> NewProfilesIni(const std::optional<std::string>& install_hash);
// installs.ini beside it: the same section, named by the hash alone.
std::vector<std::string> NewInstallsIni(const std::string& install_hash);

struct DefaultProfile {
  bool found = false;
  std::string path;      // as profiles.ini gives it
  bool relative = true;  // to the Thunderbird folder
};

// The profile Thunderbird opens when started normally, read from the lines
// of profiles.ini as Thunderbird reads them ([section] lines, key=value
// lines, ; and # comments): the Default= path of the first [Install...]
// section (each installation of Thunderbird names the profile it uses there;
// relative unless absolute); else the [Profile...] marked Default=1; else the
// first whose Name= contains "default"; else the only profile listed. Not
// found when several are listed and none is chosen: Thunderbird would ask.
// A UTF-8 byte-order mark in front of the first line is not part of it.
DefaultProfile FindDefaultProfilePath(const std::vector<std::string>& profiles_ini);

// The folders from the Thunderbird folder `thunderbird` (or from the drive or
// share of an absolute path) down to the profile's own, which is the last.
std::vector<std::string> ProfileFolders(const std::string& thunderbird, const DefaultProfile& profile);

}  // namespace pw
