#include "clients/files/ThunderbirdProfiles.h"

#include "platform/Text.h"

namespace pw {

const char kNewProfileFolder[] = "Profiles\\s8eyyog6.default";
const char kNewProfilePath[] = "Profiles/s8eyyog6.default";

std::vector<std::string> NewProfilesIni(const std::optional<std::string>& install_hash) {
  std::vector<std::string> lines = {"[General]",    "StartWithLastProfile=1",
                                    "",             "[Profile0]",
                                    "Name=default", "IsRelative=1",
                                    std::string("Path=") + kNewProfilePath};
  if (!install_hash) return lines;
  // The profile is named exactly as Path= names it: with a backslash or a
  // trailing slash the client would open nothing.
  for (const std::string& line : {std::string(), "[Install" + *install_hash + "]",
                                  std::string("Default=") + kNewProfilePath, std::string("Locked=1")})
    lines.push_back(line);
  return lines;
}

std::vector<std::string> NewInstallsIni(const std::string& install_hash) {
  return {"[" + install_hash + "]", std::string("Default=") + kNewProfilePath, "Locked=1"};
}

namespace {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;

  // The first value of `key`; null when there is none.
  const std::string* Find(const std::string& key) const {
    for (const auto& entry : entries)
      if (entry.first == key) return &entry.second;
    return nullptr;
  }
  std::string Get(const std::string& key) const { return Find(key) ? *Find(key) : std::string(); }
  bool NameStartsWith(const std::string& prefix) const {
    return name.size() > prefix.size() && StartsWith(name, prefix);
  }
};

// Like Thunderbird: blanks before a line do not count; an entry before the
// first section, or in a header with text after its "]", belongs nowhere.
std::vector<IniSection> ReadIni(const std::vector<std::string>& lines) {
  std::vector<IniSection> sections;
  bool in_section = false;
  for (const std::string& raw : lines) {
    const size_t start = raw.find_first_not_of(" \t");
    if (start == std::string::npos || raw[start] == ';' || raw[start] == '#') continue;
    const std::string line = raw.substr(start);
    if (line[0] == '[') {
      const size_t close = line.find(']');
      in_section = close != std::string::npos && line.find_first_not_of(" \t", close + 1) == std::string::npos;
      if (in_section) sections.push_back({line.substr(1, close - 1), {}});
    } else if (in_section && line.find('=') != std::string::npos) {
      const size_t equals = line.find('=');
      sections.back().entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
  }
  return sections;
}

// A path that names a folder, not only slashes.
bool IsPath(const std::string& path) { return path.find_first_not_of("\\/") != std::string::npos; }

bool IsShare(const std::string& path) { return StartsWith(path, "\\\\") || StartsWith(path, "//"); }

bool IsAbsolute(const std::string& path) { return (path.size() >= 2 && path[1] == ':') || IsShare(path); }

bool IsProfile(const IniSection& section) {
  return section.NameStartsWith("Profile") &&
         section.name.find_first_not_of("0123456789", 7) == std::string::npos && IsPath(section.Get("Path"));
}

// Thunderbird reads a path as relative only when its section says
// "IsRelative=1"; a section without the line keeps the relative reading.
DefaultProfile ProfileOf(const IniSection& profile) {
  const std::string* relative = profile.Find("IsRelative");
  return {true, profile.Get("Path"), !relative || *relative == "1"};
}

}  // namespace

DefaultProfile FindDefaultProfilePath(const std::vector<std::string>& profiles_ini) {
  std::vector<std::string> lines = profiles_ini;
  // Thunderbird reads past a UTF-8 byte-order mark.
  if (!lines.empty() && StartsWith(lines[0], kUtf8Mark)) lines[0].erase(0, kUtf8Mark.size());
  const std::vector<IniSection> sections = ReadIni(lines);
  for (const IniSection& section : sections) {
    const std::string path = section.Get("Default");
    if (section.NameStartsWith("Install") && IsPath(path)) return {true, path, !IsAbsolute(path)};
  }
  std::vector<const IniSection*> profiles;
  for (const IniSection& section : sections)
    if (IsProfile(section)) profiles.push_back(&section);
  for (const IniSection* profile : profiles)
    if (profile->Get("Default") == "1") return ProfileOf(*profile);
  for (const IniSection* profile : profiles)
    if (profile->Get("Name").find("default") != std::string::npos) return ProfileOf(*profile);
  if (profiles.size() == 1) return ProfileOf(*profiles[0]);
  return DefaultProfile{};
}

// The folders from the Thunderbird folder (or from the drive or share of an
// absolute path) down to the profile's own, which is the last. Either slash
// of profiles.ini separates folders.
std::vector<std::string> ProfileFolders(const std::string& thunderbird, const DefaultProfile& profile) {
  const std::vector<std::string> parts = SplitPath(profile.path, "\\/");
  std::string folder = thunderbird;
  size_t first = 0;
  if (!profile.relative) {
    const bool share = IsShare(profile.path);
    first = share ? 2 : 1;
    folder = share && parts.size() >= 2 ? "\\\\" + parts[0] + "\\" + parts[1] : parts.empty() ? "" : parts[0];
  }
  std::vector<std::string> folders;
  for (size_t i = first; i < parts.size(); ++i) {
    folder += "\\" + parts[i];
    folders.push_back(folder);
  }
  if (folders.empty()) folders.push_back(folder);
  return folders;
}

}  // namespace pw
