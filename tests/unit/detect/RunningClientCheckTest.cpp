#include "detect/RunningClientCheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/memory/MemoryPlatform.h"
#include "clients/MailClients.h"

namespace pw {
namespace {

constexpr char kLogPath[] = "C:\\Users\\jo\\AppData\\Roaming\\Postwright.log";

// The mail clients' program names, as the client table gives them.
std::vector<std::string> Programs() {
  std::vector<std::string> programs;
  for (const ClientMarks& client : MailClientMarks()) programs.push_back(client.program);
  return programs;
}

// Records how long each wait was allowed to take.
class TimedHandle : public ProcessHandle {
 public:
  TimedHandle(ProcessHandlePtr inner, std::vector<uint32_t>* timeouts)
      : inner_(std::move(inner)), timeouts_(timeouts) {}
  Status Terminate(uint32_t exit_code) override { return inner_->Terminate(exit_code); }
  Status WaitForExit(uint32_t timeout_ms) override {
    timeouts_->push_back(timeout_ms);
    return inner_->WaitForExit(timeout_ms);
  }

 private:
  ProcessHandlePtr inner_;
  std::vector<uint32_t>* timeouts_;
};

class TimedProcesses : public Processes {
 public:
  explicit TimedProcesses(Processes& inner) : inner_(inner) {}
  Status Snapshot(std::vector<ProcessEntry>* entries) override { return inner_.Snapshot(entries); }
  Status Open(uint32_t id, ProcessHandlePtr* out) override {
    ProcessHandlePtr handle;
    const Status status = inner_.Open(id, &handle);
    if (status == err::kSuccess) *out = std::make_unique<TimedHandle>(std::move(handle), &timeouts);
    return status;
  }
  Status Start(const std::string& application, const std::string& command_line) override {
    return inner_.Start(application, command_line);
  }
  Status HoldMutex(const std::string& name, uint32_t timeout_ms, MutexHoldPtr* out) override {
    return inner_.HoldMutex(name, timeout_ms, out);
  }
  Status AskToClose(uint32_t id, uint32_t* asked) override { return inner_.AskToClose(id, asked); }
  std::vector<uint32_t> timeouts;

 private:
  Processes& inner_;
};

class RunningClientCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.files.PutFolder("C:\\Users\\jo\\AppData\\Roaming");
    ASSERT_EQ(err::kSuccess, log_.Open(machine_.files, machine_.clock, kLogPath));
  }

  RunningClients Check(bool close_running) { return CloseRunningClients(machine_.processes, Programs(), close_running, log_); }
  std::string Log() const { return machine_.files.FileBytes(kLogPath); }

  MemoryPlatform machine_;
  RunLog log_;
};

TEST_F(RunningClientCheckTest, WithoutCloseFlagAnyClientStopsTheRunAndNothingIsTouched) {
  MemoryProcesses& processes = machine_.processes;
  const uint32_t explorer = processes.Add("explorer.exe");
  const uint32_t eudora = processes.Add("Eudora.exe");
  const uint32_t winmail = processes.Add("WinMail.exe");

  EXPECT_EQ(RunningClients::kStop, Check(false));
  EXPECT_EQ("", Log());  // the caller writes the one closing block
  EXPECT_TRUE(processes.Running(explorer));
  EXPECT_TRUE(processes.Running(eudora));
  EXPECT_TRUE(processes.Running(winmail));
  EXPECT_TRUE(processes.WaitedFor().empty());
  EXPECT_EQ(0, processes.OpenHandles());
}

TEST_F(RunningClientCheckTest, EveryClientNameIsRecognisedOnlyWhenItMatchesExactly) {
  MemoryProcesses& processes = machine_.processes;
  std::vector<uint32_t> ignored;
  for (const char* exe : {"outlook.exe", "Outlook.exe", "THUNDERBIRD.EXE", "eudora.exe", "MSIMN.EXE", "winmail.exe",
                          "OUTLOOK.EXE ", "OUTLOOK", "C:\\Program Files\\Office\\OUTLOOK.EXE", "xmsimn.exe", ""})
    ignored.push_back(processes.Add(exe));

  EXPECT_EQ(RunningClients::kContinue, Check(false));
  EXPECT_EQ(RunningClients::kContinue, Check(true));
  EXPECT_EQ("", Log());
  for (uint32_t id : ignored) EXPECT_TRUE(processes.Running(id));

  for (const char* exe : {"OUTLOOK.EXE", "thunderbird.exe", "Eudora.exe", "msimn.exe", "WinMail.exe"}) {
    MemoryProcesses alone;
    alone.Add(exe);
    EXPECT_EQ(RunningClients::kStop, CloseRunningClients(alone, Programs(), false, log_)) << exe;
  }
}

TEST_F(RunningClientCheckTest, CloseFlagTerminatesAndAwaitsEachClientInSnapshotOrder) {
  MemoryProcesses& processes = machine_.processes;
  const uint32_t thunderbird = processes.Add("thunderbird.exe");
  const uint32_t shell = processes.Add("explorer.exe");
  const uint32_t lower = processes.Add("outlook.exe");
  const uint32_t outlook = processes.Add("OUTLOOK.EXE");
  TimedProcesses timed(processes);

  EXPECT_EQ(RunningClients::kContinue, CloseRunningClients(timed, Programs(), true, log_));
  EXPECT_EQ(
      "Running Email Client Detected: thunderbird.exe. Closed.\r\n"
      "Running Email Client Detected: OUTLOOK.EXE. Closed.\r\n",
      Log());
  EXPECT_FALSE(processes.Running(thunderbird));
  EXPECT_FALSE(processes.Running(outlook));
  EXPECT_TRUE(processes.Running(shell));
  EXPECT_TRUE(processes.Running(lower));
  EXPECT_EQ((std::vector<uint32_t>{thunderbird, outlook}), processes.WaitedFor());
  EXPECT_EQ((std::vector<uint32_t>{kClientExitWaitMs, kClientExitWaitMs}), timed.timeouts);
  EXPECT_EQ(10000u, kClientExitWaitMs);
  EXPECT_EQ(0, processes.OpenHandles());
}

TEST_F(RunningClientCheckTest, ClientThatCannotBeClosedStopsTheRunAfterEveryClientIsTried) {
  MemoryProcesses& processes = machine_.processes;
  const uint32_t locked = processes.Add("OUTLOOK.EXE");
  const uint32_t stubborn = processes.Add("msimn.exe");
  const uint32_t hanging = processes.Add("Eudora.exe");
  const uint32_t willing = processes.Add("thunderbird.exe");
  processes.Get(locked).deny_open = true;
  processes.Get(stubborn).deny_terminate = true;
  processes.Get(hanging).ignores_terminate = true;

  EXPECT_EQ(RunningClients::kStop, Check(true));
  EXPECT_EQ(
      "Running Email Client Detected: OUTLOOK.EXE. Could not be closed.\r\n"
      "Running Email Client Detected: msimn.exe. Could not be closed.\r\n"
      "Running Email Client Detected: Eudora.exe. Could not be closed.\r\n"
      "Running Email Client Detected: thunderbird.exe. Closed.\r\n",
      Log());
  EXPECT_TRUE(processes.Running(locked));
  EXPECT_TRUE(processes.Running(stubborn));
  EXPECT_FALSE(processes.Running(willing));
  EXPECT_EQ((std::vector<uint32_t>{stubborn, hanging, willing}), processes.WaitedFor());
  EXPECT_EQ(0, processes.OpenHandles());
}

// A client with windows is asked to close them and given time to save its
// data; only one that does not end then, or has no window, is terminated.
TEST_F(RunningClientCheckTest, CloseFlagAsksWindowsToCloseBeforeTerminating) {
  MemoryProcesses& processes = machine_.processes;
  const uint32_t polite = processes.Add("OUTLOOK.EXE");
  const uint32_t deaf = processes.Add("thunderbird.exe");
  const uint32_t windowless = processes.Add("Eudora.exe");
  const uint32_t deaf_and_stuck = processes.Add("msimn.exe");
  processes.Get(polite).windows = 2;
  processes.Get(deaf).windows = 1;
  processes.Get(deaf).closes_when_asked = false;
  processes.Get(deaf_and_stuck).windows = 1;
  processes.Get(deaf_and_stuck).closes_when_asked = false;
  processes.Get(deaf_and_stuck).ignores_terminate = true;
  TimedProcesses timed(processes);

  EXPECT_EQ(RunningClients::kStop, CloseRunningClients(timed, Programs(), true, log_));
  EXPECT_EQ(
      "Running Email Client Detected: OUTLOOK.EXE. Closed.\r\n"
      "Running Email Client Detected: thunderbird.exe. Closed.\r\n"
      "Running Email Client Detected: Eudora.exe. Closed.\r\n"
      "Running Email Client Detected: msimn.exe. Could not be closed.\r\n",
      Log());
  EXPECT_EQ(2u, processes.Get(polite).close_requests);
  EXPECT_FALSE(processes.Get(polite).terminated);
  EXPECT_EQ(1u, processes.Get(deaf).close_requests);
  EXPECT_TRUE(processes.Get(deaf).terminated);
  EXPECT_EQ(0u, processes.Get(windowless).close_requests);
  EXPECT_TRUE(processes.Get(windowless).terminated);
  EXPECT_TRUE(processes.Running(deaf_and_stuck));
  EXPECT_EQ((std::vector<uint32_t>{kClientCloseWaitMs, kClientCloseWaitMs, kClientExitWaitMs, kClientExitWaitMs,
                                   kClientCloseWaitMs, kClientExitWaitMs}),
            timed.timeouts);
  EXPECT_EQ(30000u, kClientCloseWaitMs);
  EXPECT_EQ(0, processes.OpenHandles());
}

TEST_F(RunningClientCheckTest, NoProcessListMeansNoClientRuns) {
  MemoryProcesses& processes = machine_.processes;
  const uint32_t outlook = processes.Add("OUTLOOK.EXE");
  processes.FailSnapshot(err::kAccessDenied);

  EXPECT_EQ(RunningClients::kContinue, Check(false));
  EXPECT_EQ(RunningClients::kContinue, Check(true));
  EXPECT_EQ("", Log());
  EXPECT_TRUE(processes.Running(outlook));

  MemoryProcesses empty;
  EXPECT_EQ(RunningClients::kContinue, CloseRunningClients(empty, Programs(), false, log_));
  EXPECT_EQ(RunningClients::kContinue, CloseRunningClients(empty, Programs(), true, log_));
}

}  // namespace
}  // namespace pw
