// The bed itself: every other Wine test relies on its reset, its captured
// output and its stand-in mail clients, so these are checked first.
#include "DummyProgram.h"
#include "WineBed.h"
#include "WineTest.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

namespace pw {
namespace {

class WineBedTest : public WineTest {};

TEST_F(WineBedTest, ResetPutsRegistryFilesAndAppDataBack) {
  const bed::State pristine = bed::CaptureState();
  const std::string app_data = bed::AppDataFolder();
  ASSERT_FALSE(app_data.empty());

  // Add, change and remove in each kind of guarded place.
  bed::SeedText(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Account Manager\\Accounts\\00000001", "Account Name",
                "Jo");
  bed::SeedDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Eudora", "Flags", 3);
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "", "thunderbird.exe -compose %1");
  bed::RemoveKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths");
  bed::SeedFile(app_data + "\\Thunderbird\\profiles.ini", "[General]\r\nStartWithLastProfile=1\r\n");
  bed::SeedFile(bed::ScratchFolder() + "\\Store\\account{1}.oeaccount", std::string("\xff\xfe<\0", 4));
  bed::SetAppData(bed::ScratchFolder() + "\\Roaming");

  const std::string changes = bed::DescribeChanges(pristine, bed::CaptureState());
  EXPECT_NE(std::string::npos, changes.find("Internet Account Manager\\Accounts\\00000001: key added")) << changes;
  EXPECT_NE(std::string::npos, changes.find("Clients\\Mail\\Eudora: key added")) << changes;
  EXPECT_NE(std::string::npos, changes.find("App Paths: tree removed")) << changes;
  EXPECT_NE(std::string::npos, changes.find("Thunderbird\\profiles.ini: file created")) << changes;
  EXPECT_NE(std::string::npos, changes.find("APPDATA changed")) << changes;
  // HKCR is a view: what a test writes there lands in a guarded tree.
  EXPECT_NE(std::string::npos, changes.find("Classes\\mailto\\shell\\open\\command: value \"\" changed")) << changes;

  bed::Reset();
  EXPECT_EQ("", bed::DescribeChanges(pristine, bed::CaptureState()));
  EXPECT_EQ(app_data, bed::AppDataFolder());
  EXPECT_FALSE(bed::PathExists(app_data + "\\Thunderbird"));
}

TEST_F(WineBedTest, RunCapturesBothStreamsAndTheExitCodeAndStopsAtTheTimeout) {
  const bed::RunResult run = bed::RunProgram("cmd.exe /c \"echo to out& echo to err 1>&2& exit 5\"", 30000);
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  EXPECT_EQ(5u, run.exit_code);
  EXPECT_EQ("to out\r\n", run.out);
  EXPECT_EQ("to err \r\n", run.err);

  const bed::RunResult stuck = bed::RunProgram("\"" + bed::ProgramFolder() + "\\wine_sleeper.exe\"", 500);
  ASSERT_TRUE(stuck.started);
  EXPECT_TRUE(stuck.timed_out);
  EXPECT_NE(bed::kSleeperExitCode, stuck.exit_code);
}

TEST_F(WineBedTest, StandInClientShowsInTheProcessSnapshotUnderItsName) {
  auto snapshot_has = [](const std::string& name, DWORD id) {
    bool found = false;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
      found = found || (name == entry.szExeFile && entry.th32ProcessID == id);
    CloseHandle(snapshot);
    return found;
  };
  std::string folder;
  DWORD id = 0;
  {
    bed::DummyProgram thunderbird("thunderbird.exe");
    ASSERT_TRUE(thunderbird.started());
    id = thunderbird.process_id();
    folder = thunderbird.path().substr(0, thunderbird.path().find_last_of('\\'));
    EXPECT_TRUE(thunderbird.Running());
    EXPECT_TRUE(snapshot_has("thunderbird.exe", id));
  }
  EXPECT_FALSE(snapshot_has("thunderbird.exe", id));
  EXPECT_FALSE(bed::PathExists(folder));
}

}  // namespace
}  // namespace pw
