#include "app/RunLog.h"

#include <gtest/gtest.h>

#include "app/AppDataFolder.h"
#include "platform/fault/FaultInjecting.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace {

const char kPath[] = "C:\\AppData\\Postwright.log";

struct RunLogTest : ::testing::Test {
  RunLogTest() { machine.files.PutFolder("C:\\AppData"); }
  MemoryPlatform machine;
  RunLog log;
};

TEST_F(RunLogTest, LinesEndInCrLfAndReachTheFileWhenTheyEnd) {
  machine.files.PutFile(kPath, "old record\r\n");
  ASSERT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kPath));
  log << "Searching for X ... ";
  EXPECT_EQ("old record\r\n", machine.files.FileBytes(kPath)) << "half a line waits for its end";
  log << "found. (Version " << 11 << ")";
  log.EndLine();
  log.BlankLine();
  EXPECT_EQ("old record\r\nSearching for X ... found. (Version 11)\r\n\r\n", machine.files.FileBytes(kPath));
}

TEST_F(RunLogTest, TimeStampIsTwentyFourHourWithTwoDigitYear) {
  EXPECT_EQ("14:05:09 on 12/07/08", FormatTimeStamp(LocalTime{2008, 12, 7, 14, 5, 9}));
  EXPECT_EQ("00:00:00 on 01/01/00", FormatTimeStamp(LocalTime{2000, 1, 1, 0, 0, 0}));
  EXPECT_EQ("23:59:59 on 12/31/99", FormatTimeStamp(LocalTime{1999, 12, 31, 23, 59, 59}));
}

TEST_F(RunLogTest, HeaderAndEachClosingLine) {
  ASSERT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kPath));
  log.WriteHeader(false);
  log.WriteClosing(Closing::kTerminatedByUser);
  EXPECT_FALSE(log.IsOpen());
  log.Line("dropped: the log is closed");
  ASSERT_EQ(err::kSuccess, log.Reopen());
  log.WriteHeader(true);
  log.WriteClosing(Closing::kTerminatedAutomatically);
  ASSERT_EQ(err::kSuccess, log.Reopen());
  log.WriteClosing(Closing::kComplete);
  ASSERT_EQ(err::kSuccess, log.Reopen());
  log.WriteClosing(Closing::kFailed);
  EXPECT_EQ(
      "Postwright - Quillset Log\r\n-------------------------------------------\r\n\r\n"
      "* Beginning Configuration at 14:05:09 on 12/07/08 *\r\n\r\n"
      "* Configuration Incomplete. Terminated by user at 14:05:09 on 12/07/08 *\r\n\r\n"
      "Postwright - Quillset Log\r\n-------------------------------------------\r\n\r\n"
      "* Beginning Configuration (command line) at 14:05:09 on 12/07/08 *\r\n\r\n"
      "* Configuration Incomplete. Terminated automatically at 14:05:09 on 12/07/08 *\r\n\r\n"
      "* Configuration Complete at 14:05:09 on 12/07/08 *\r\n\r\n"
      "* Configuration Failed at 14:05:09 on 12/07/08 *\r\n\r\n",
      machine.files.FileBytes(kPath));
}

TEST_F(RunLogTest, FailuresDropWritesAndNeverStopTheRun) {
  EXPECT_EQ(err::kPathNotFound, log.Open(machine.files, machine.clock, "C:\\Missing\\Postwright.log"));
  EXPECT_FALSE(log.IsOpen());
  log.Line("nowhere to go");
  log.WriteClosing(Closing::kFailed);

  FaultPlan plan;
  FaultInjectingFileSystem files(machine.files, plan);
  ASSERT_EQ(err::kSuccess, log.Open(files, machine.clock, kPath));
  plan.FailNthMutation(1, err::kDiskFull);
  log.Line("lost to a full disk");
  log.Line("kept");
  log.Close();
  EXPECT_EQ("kept\r\n", machine.files.FileBytes(kPath));
}

// Every line is handed to the system by one write as it ends, so a crash
// loses none; the disk is made to take the record once, when it closes.
TEST_F(RunLogTest, OneWritePerLineAndOneFlushWhenTheRecordCloses) {
  FaultPlan plan;  // fails nothing; counts the calls that change the file
  FaultInjectingFileSystem files(machine.files, plan);
  ASSERT_EQ(err::kSuccess, log.Open(files, machine.clock, kPath));
  const int opened = plan.mutations();
  log << "Searching for X ... " << "found.";
  EXPECT_EQ(opened, plan.mutations()) << "half a line is not written";
  log.EndLine();
  log.Line("second");
  log.BlankLine();
  EXPECT_EQ(opened + 3, plan.mutations()) << "three writes, no flush";
  EXPECT_EQ("Searching for X ... found.\r\nsecond\r\n\r\n", machine.files.FileBytes(kPath));
  log.WriteClosing(Closing::kComplete);
  EXPECT_EQ(opened + 3 + 4, plan.mutations()) << "two writes, one flush, the close";
  EXPECT_FALSE(log.IsOpen());
}

// The folders come from the registry, then the shell; the log goes into the
// first that can hold it.
TEST_F(RunLogTest, LogGoesIntoTheFirstApplicationDataFolderThatCanHoldIt) {
  using Folders = std::vector<std::string>;
  const auto put_app_data = [&](uint32_t type, const std::string& bytes) {
    machine.registry.Put(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", type, bytes);
  };
  EXPECT_EQ(Folders{}, AppDataFolders(machine.registry, machine.environment)) << "neither is known";
  EXPECT_EQ(std::nullopt, AppDataFolder(machine.registry, machine.environment));
  machine.environment.SetShellAppData("C:\\Shell");
  EXPECT_EQ(Folders{"C:\\Shell"}, AppDataFolders(machine.registry, machine.environment));
  put_app_data(regtype::kExpandSz, std::string("C:\\AppData\0junk", 15));
  EXPECT_EQ((Folders{"C:\\AppData", "C:\\Shell"}), AppDataFolders(machine.registry, machine.environment));
  EXPECT_EQ("C:\\AppData", AppDataFolder(machine.registry, machine.environment));
  put_app_data(regtype::kSz, std::string(300, 'x'));
  EXPECT_EQ((Folders{std::string(300, 'x'), "C:\\Shell"}), AppDataFolders(machine.registry, machine.environment))
      << "300 bytes still fit";
  for (const std::string& unusable : {std::string(301, 'x'), std::string(), std::string(1, '\0')}) {
    put_app_data(regtype::kSz, unusable);
    EXPECT_EQ(Folders{"C:\\Shell"}, AppDataFolders(machine.registry, machine.environment)) << unusable.size();
  }

  // The registry's folder is missing: the log goes to the shell's.
  machine.files.PutFolder("C:\\Shell");
  put_app_data(regtype::kSz, "C:\\Gone");
  EXPECT_EQ(err::kSuccess, log.OpenIn(machine.files, machine.clock, AppDataFolders(machine.registry, machine.environment)));
  EXPECT_EQ("C:\\Shell\\Postwright.log", log.path());
  log.Line("here");
  log.Close();
  EXPECT_EQ("here\r\n", machine.files.FileBytes("C:\\Shell\\Postwright.log"));
  EXPECT_EQ(err::kPathNotFound, log.OpenIn(machine.files, machine.clock, {}));
  EXPECT_FALSE(log.IsOpen());
}

}  // namespace
}  // namespace pw
