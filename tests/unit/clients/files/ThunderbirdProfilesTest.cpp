#include <gtest/gtest.h>

#include "clients/files/SettingsFile.h"
#include "clients/files/ThunderbirdProfiles.h"

namespace pw {
namespace {

DefaultProfile Find(const std::string& ini) { return FindDefaultProfilePath(SplitLines(ini)); }

TEST(ThunderbirdProfiles, NewListHasTheSevenLines) {
  EXPECT_EQ(
      "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
      "Path=Profiles/s8eyyog6.default\r\n",
      JoinLines(NewProfilesIni()));
  EXPECT_STREQ("Profiles\\s8eyyog6.default", kNewProfileFolder);
}

TEST(ThunderbirdProfiles, TheDefaultProfilesPathIsFound) {
  const DefaultProfile usual = Find(
      "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile1]\r\nName=work\r\nIsRelative=1\r\n"
      "Path=Profiles/w0rk.work\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/"
      "ab12cd34.default\r\n");
  EXPECT_EQ("Profiles/ab12cd34.default", usual.path);
  EXPECT_TRUE(usual.relative);

  // A name that only begins with "default" counts too.
  EXPECT_EQ("Profiles/x.default-release",
            Find("[Profile0]\nName=default-release\nIsRelative=1\nPath=Profiles/x.default-release\n").path);

  // The first Path= line after the name wins, even when it belongs to the next profile.
  EXPECT_EQ("Profiles/later",
            Find("[Profile0]\nPath=Profiles/own\nName=default\n\n[Profile1]\nName=other\nPath=Profiles/later\n").path);

  // No default profile, or no path after it.
  EXPECT_EQ("NULL", Find("[Profile0]\nName=jo\nIsRelative=1\nPath=Profiles/jo\n").path);
  EXPECT_EQ("NULL", Find("[Profile0]\nPath=Profiles/jo\nName=default\n").path);
  EXPECT_EQ("NULL", Find("").path);
}

TEST(ThunderbirdProfiles, AnAbsolutePathIsToldBySectionOfItsPathLine) {
  const DefaultProfile absolute =
      Find("[Profile0]\r\nName=default\r\nIsRelative=0\r\nPath=D:\\Mail\\Jo\r\n\r\n[Profile1]\r\nIsRelative=1\r\n");
  EXPECT_EQ("D:\\Mail\\Jo", absolute.path);
  EXPECT_FALSE(absolute.relative);

  // IsRelative after the Path line, still in the section.
  EXPECT_FALSE(Find("[Profile0]\nName=default\nPath=D:\\Jo\nIsRelative=0\n").relative);
  // The section of the winning Path line decides, not the section of the name.
  EXPECT_TRUE(Find("[Profile0]\nName=default\nIsRelative=0\n[Profile1]\nIsRelative=1\nPath=Profiles/p\n").relative);
  // Without the line the path stays relative.
  EXPECT_TRUE(Find("[Profile0]\nName=default\nPath=Profiles/p\n").relative);
}

}  // namespace
}  // namespace pw
