// Thunderbird's list of profiles, profiles.ini in the Thunderbird folder of
// the user's application data: choosing the profile that Thunderbird opens
// when it is started, and the list written for a user who has never run it.
#pragma once

#include <string>
#include <vector>

namespace pw {

// The profile folder of a list written by us, relative to the Thunderbird folder.
extern const char kNewProfileFolder[];
// The lines of that list.
std::vector<std::string> NewProfilesIni();

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
DefaultProfile FindDefaultProfilePath(const std::vector<std::string>& profiles_ini);

// The folders from the Thunderbird folder `thunderbird` (or from the drive or
// share of an absolute path) down to the profile's own, which is the last.
std::vector<std::string> ProfileFolders(const std::string& thunderbird, const DefaultProfile& profile);

}  // namespace pw
