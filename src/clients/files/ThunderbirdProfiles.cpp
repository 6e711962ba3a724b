#include "clients/files/ThunderbirdProfiles.h"

namespace pw {

const char kNewProfileFolder[] = "Profiles\\s8eyyog6.default";

std::vector<std::string> NewProfilesIni() {
  return {"[General]", "StartWithLastProfile=1", "", "[Profile0]", "Name=default", "IsRelative=1",
          "Path=Profiles/s8eyyog6.default"};
}

namespace {

bool IsSectionHeader(const std::string& line) { return !line.empty() && line[0] == '['; }

// Thunderbird reads a path as relative only when its section says
// "IsRelative=1"; a section without the line keeps the relative reading.
bool SectionIsRelative(const std::vector<std::string>& lines, size_t path_line) {
  size_t first = path_line;
  while (first > 0 && !IsSectionHeader(lines[first - 1])) --first;
  for (size_t i = first; i < lines.size() && (i == first || !IsSectionHeader(lines[i])); ++i) {
    const std::string key = "IsRelative=";
    if (lines[i].compare(0, key.size(), key) == 0) return lines[i].substr(key.size()) == "1";
  }
  return true;
}

}  // namespace

DefaultProfile FindDefaultProfilePath(const std::vector<std::string>& profiles_ini) {
  DefaultProfile profile;
  bool default_seen = false;
  for (size_t i = 0; i < profiles_ini.size(); ++i) {
    const std::string& line = profiles_ini[i];
    if (line.find("Name=default") != std::string::npos) default_seen = true;
    if (default_seen && line.find("Path=") != std::string::npos) {
      profile.path = line.substr(5);
      profile.relative = SectionIsRelative(profiles_ini, i);
      break;
    }
  }
  return profile;
}

}  // namespace pw
