#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

// Ids of the running processes whose file name is `exe`.
std::vector<uint32_t> Running(const std::string& exe) {
  std::vector<ProcessEntry> entries;
  EXPECT_EQ(err::kSuccess, Backend().View().processes.Snapshot(&entries));
  std::vector<uint32_t> ids;
  for (const ProcessEntry& entry : entries)
    if (entry.exe == exe) ids.push_back(entry.id);
  return ids;
}

TEST(ProcessesContract, AStartedProgramIsListedTerminatedAndWaitedFor) {
  Processes& processes = Backend().View().processes;
  const std::string program = Backend().DummyProgram("pwdummy.exe");
  ASSERT_TRUE(Running("pwdummy.exe").empty());

  ASSERT_EQ(err::kSuccess, processes.Start(program, "\"" + program + "\" ignored arguments"));
  const std::vector<uint32_t> ids = Running("pwdummy.exe");
  ASSERT_EQ(1u, ids.size());
  EXPECT_TRUE(Running("PWDUMMY.EXE").empty());  // the name as the snapshot spells it
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(err::kSuccess, processes.Snapshot(&entries));
  for (const ProcessEntry& entry : entries) {
    EXPECT_FALSE(entry.exe.empty());
    EXPECT_EQ(std::string::npos, entry.exe.find('\\')) << entry.exe;  // a file name, no folder
  }

  ProcessHandlePtr process;
  ASSERT_EQ(err::kSuccess, processes.Open(ids[0], &process));
  ASSERT_NE(nullptr, process);
  EXPECT_EQ(err::kWaitTimeout, process->WaitForExit(0));
  EXPECT_EQ(err::kSuccess, process->Terminate(0));
  EXPECT_EQ(err::kSuccess, process->WaitForExit(10000));
  EXPECT_EQ(err::kSuccess, process->WaitForExit(0));
  process.reset();
  EXPECT_TRUE(Running("pwdummy.exe").empty());
}

// A program without windows has none to ask; a mutex is free again once its
// hold is gone. (Waiting for another process's hold is the Wine tests'.)
TEST(ProcessesContract, WindowlessProgramIsAskedNothingAndMutexesAreReleased) {
  Processes& processes = Backend().View().processes;
  const std::string program = Backend().DummyProgram("pwquiet.exe");
  ASSERT_EQ(err::kSuccess, processes.Start(program, "\"" + program + "\""));
  const std::vector<uint32_t> ids = Running("pwquiet.exe");
  ASSERT_EQ(1u, ids.size());
  uint32_t asked = 99;
  EXPECT_EQ(err::kSuccess, processes.AskToClose(ids[0], &asked));
  EXPECT_EQ(0u, asked);
  ProcessHandlePtr process;
  ASSERT_EQ(err::kSuccess, processes.Open(ids[0], &process));
  EXPECT_EQ(err::kWaitTimeout, process->WaitForExit(0)) << "asking no window ends nothing";
  EXPECT_EQ(err::kSuccess, process->Terminate(0));
  EXPECT_EQ(err::kSuccess, process->WaitForExit(10000));

  for (int round = 0; round < 2; ++round) {
    MutexHoldPtr hold;
    ASSERT_EQ(err::kSuccess, processes.HoldMutex("Local\\Postwright.ContractMutex", 0, &hold));
    EXPECT_NE(nullptr, hold);
  }
}

TEST(ProcessesContract, MissingProgramsAndProcessesAreReported) {
  Processes& processes = Backend().View().processes;
  const std::string dir = Backend().ScratchFolder();
  EXPECT_EQ(err::kFileNotFound, processes.Start(dir + "\\absent.exe", "absent.exe"));
  EXPECT_EQ(err::kPathNotFound, processes.Start(dir + "\\no folder\\absent.exe", "absent.exe"));
  EXPECT_TRUE(Running("absent.exe").empty());

  ProcessHandlePtr process;
  EXPECT_EQ(err::kInvalidParameter, processes.Open(0xfffffff0u, &process));
  EXPECT_EQ(nullptr, process);
}

}  // namespace
}  // namespace pw
