// -whatif and -restore of Postwright.exe for Thunderbird, Windows Mail,
// Eudora and Outlook 2002+: the what-if run lists its changes on standard
// output and changes nothing but the log; the real run changes the stores and
// keeps its backup; -restore puts every store back; a second one finds
// nothing left.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "OutlookWineSupport.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;

// The changes since `before`, one a line, but for the run log's (the bed
// leaves the marker and the backups out: they are the runs' own records).
std::string StoreChanges(const bed::State& before) {
  std::istringstream lines(bed::DescribeChanges(before, bed::CaptureState()));
  std::string changes;
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, bed::LogPath().size(), bed::LogPath()) != 0) changes += line + "\n";
  return changes;
}

void SeedNothing() {}

void SeedWindowsMail() {
  bed::SeedValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail", "Store Root", REG_EXPAND_SZ,
                 bed::WithNul("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\"));
  char profile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  bed::SeedFolder(std::string(profile, length) + "\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders");
}

void SeedEudora() {
  bed::SeedFile(bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini",
                "[Settings]\r\nRealName=Ann Lee\r\nReturnAddress=ann@example.org\r\n");
}

void SeedOutlook() {
  outlook::RegisterOutlook(11);
  bed::SeedText(HKEY_CURRENT_USER, outlook::kProfiles, "DefaultProfile", "Main");
  bed::SeedDword(HKEY_CURRENT_USER, outlook::kProfiles + "\\Main\\9375CFF0413111d3B88A00104B2A6676", "NextAccountID",
                 1);
}

class WhatIfRestoreWineTest : public WineTest {};

TEST_F(WhatIfRestoreWineTest, WhatIfChangesNothingAndRestoreTakesTheRunBack) {
  const struct {
    const char* client;
    const char* run;
    void (*seed)();
    const char* listed;  // text of a line the what-if run lists
  } kClients[] = {
      {"Thunderbird", "-n \"Jo Doe\" -c 4 -a jdoe -d", SeedNothing, "Create the folder "},
      {"Windows Mail", "-n \"Jo Doe\" -c 2 -a jdoe -d", SeedWindowsMail,
       "Set the registry value HKCU\\Software\\Microsoft\\IAM \"Default Mail Account\" to REG_SZ \"account{"},
      {"Eudora", "-n \"Jo Doe\" -c 3 -a jdoe", SeedEudora, "POPAccount=jdoe@quillset.example@pop.quillset.example"},
      {"Outlook 2002+", "-n \"Jo Doe\" -c 1 -a jdoe -d", SeedOutlook,
       "Set the registry value HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
       "Subsystem\\Profiles\\Main\\9375CFF0413111d3B88A00104B2A6676 \"NextAccountID\" to REG_DWORD 2, was "
       "REG_DWORD 1"},
  };
  for (const auto& c : kClients) {
    SCOPED_TRACE(c.client);
    bed::Reset();
    c.seed();
    const bed::State before = bed::CaptureState();

    const bed::RunResult what_if = bed::RunPostwright(c.run + " -whatif"s);
    ASSERT_TRUE(what_if.started && !what_if.timed_out);
    EXPECT_EQ(0u, what_if.exit_code) << what_if.err;
    EXPECT_EQ("", StoreChanges(before)) << "a what-if run changes nothing";
    EXPECT_EQ(0u, what_if.out.find("Postwright: The run would make these changes:\n")) << what_if.out;
    EXPECT_NE(std::string::npos, what_if.out.find(c.listed)) << what_if.out;

    const bed::RunResult real = bed::RunPostwright(c.run);
    EXPECT_EQ(0u, real.exit_code) << real.err;
    EXPECT_NE("", StoreChanges(before));

    const bed::RunResult restore = bed::RunPostwright("-restore");
    EXPECT_EQ(0u, restore.exit_code) << restore.err;
    EXPECT_EQ("", StoreChanges(before)) << "every store as it was";
    const bed::RunResult again = bed::RunPostwright("-restore");
    EXPECT_EQ(1u, again.exit_code);
    EXPECT_EQ(0u, again.err.find("Postwright: Nothing is left to restore. (log: ")) << again.err;
  }
}

}  // namespace
}  // namespace pw
