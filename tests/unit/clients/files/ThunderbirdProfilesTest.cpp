#include <gtest/gtest.h>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "clients/files/ThunderbirdProfiles.h"

namespace pw {
namespace {

// With the installation's hash, both files name the profile exactly as its
// Path= line does; without it, the list alone.
TEST(ThunderbirdProfiles, NewListNamesTheProfileForTheInstallation) {
  const std::string list =
      "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
      "Path=Profiles/s8eyyog6.default\r\n";
  EXPECT_EQ(list, JoinLines(NewProfilesIni(std::nullopt)));
  EXPECT_EQ(list + "\r\n[InstallCF6E8C8B5E0BD43]\r\nDefault=Profiles/s8eyyog6.default\r\nLocked=1\r\n",
            JoinLines(NewProfilesIni("CF6E8C8B5E0BD43")));
  EXPECT_EQ("[CF6E8C8B5E0BD43]\r\nDefault=Profiles/s8eyyog6.default\r\nLocked=1\r\n",
            JoinLines(NewInstallsIni("CF6E8C8B5E0BD43")));
  EXPECT_STREQ("Profiles\\s8eyyog6.default", kNewProfileFolder);
  // The list we write chooses its own profile.
  const DefaultProfile chosen = FindDefaultProfilePath(NewProfilesIni("CF6E8C8B5E0BD43"));
  EXPECT_EQ("Profiles/s8eyyog6.default", chosen.path);
}

TEST(ThunderbirdProfiles, TheProfileThunderbirdOpensIsChosen) {
  const struct {
    const char* name;
    const char* ini;
    const char* path;  // null: none found
    bool relative;
  } cases[] = {
      {"a fresh start of a current Thunderbird on Windows: the install section names the profile it uses",
       "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/s.default\r\nDefault=1\r\n\r\n"
       "[InstallFDC34C9F024745EB]\r\nDefault=Profiles/x.default-release\r\nLocked=1\r\n\r\n"
       "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/x.default-release\r\n\r\n"
       "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n",
       "Profiles/x.default-release", true},
      {"the same on Linux, where profiles stand in the Thunderbird folder itself",
       "[Profile1]\nName=default\nIsRelative=1\nPath=tzpp8itu.default\nDefault=1\n\n"
       "[InstallFDC34C9F024745EB]\nDefault=o2dta244.default-default\nLocked=1\n\n"
       "[Profile0]\nName=default-default\nIsRelative=1\nPath=o2dta244.default-default\n",
       "o2dta244.default-default", true},
      {"the first install section that names a profile; an absolute one",
       "[InstallA]\nLocked=1\n[InstallB]\nDefault=D:\\Mail\\Jo\n[InstallC]\nDefault=Profiles/c\n"
       "[Profile0]\nName=default\nPath=Profiles/d\nDefault=1\n",
       "D:\\Mail\\Jo", false},
      {"without install sections, the profile marked Default=1",
       "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/d\n[Profile1]\nName=work\nIsRelative=0\n"
       "Path=E:\\Work\nDefault=1\n",
       "E:\\Work", false},
      {"else the first whose name contains \"default\", with its own section's path",
       "[Profile0]\nName=work\nPath=Profiles/w\n[Profile1]\nPath=Profiles/own\nName=x-default-release\n"
       "[Profile2]\nName=default\nPath=Profiles/later\n",
       "Profiles/own", true},
      {"else the only profile listed", "[General]\nStartWithLastProfile=1\n[Profile0]\nName=jo\nPath=Profiles/jo\n",
       "Profiles/jo", true},
      {"several and none chosen: Thunderbird would ask",
       "[Profile0]\nName=jo\nPath=Profiles/jo\n[Profile1]\nName=Default\nPath=Profiles/d\n", nullptr, true},
      {"a profile without a path is none", "[Profile0]\nName=default\nDefault=1\n[Profile1]\nName=jo\nPath=Profiles/jo\n",
       "Profiles/jo", true},
      {"blanks before lines, comments, lone CR line ends",
       "  [Profile0]\r\tName=work\r; Path=Profiles/commented\r# Default=1\r  Path=Profiles/w\r", "Profiles/w", true},
      {"a header with text after it, and entries before any section, belong nowhere",
       "Path=Profiles/none\n[Profile0] x\nPath=Profiles/garbled\n[Profile1]\nName=jo\nPath=Profiles/jo\n",
       "Profiles/jo", true},
      {"IsRelative=1 or none: relative; anything else: absolute",
       "[Profile0]\nName=default\nPath=D:\\Jo\nIsRelative=0\n", "D:\\Jo", false},
      {"only slashes are no path", "[Install1]\nDefault=/\n[Profile0]\nName=jo\nPath=\\\n", nullptr, true},
      {"an empty list", "", nullptr, true},
      {"a UTF-8 byte-order mark before the install section is not part of its name",
       "\xEF\xBB\xBF[InstallFDC34C9F024745EB]\r\nDefault=Profiles/x.default-release\r\nLocked=1\r\n\r\n"
       "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/unused\r\nDefault=1\r\n",
       "Profiles/x.default-release", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DefaultProfile found = FindDefaultProfilePath(SplitLines(std::string(c.ini)));
    EXPECT_EQ(c.path != nullptr, found.found);
    if (!c.path) continue;
    EXPECT_EQ(c.path, found.path);
    EXPECT_EQ(c.relative, found.relative);
  }
}

}  // namespace
}  // namespace pw
