// Only one run at a time may read and rewrite the mail clients' stores.
#include <gtest/gtest.h>

#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

// A writer that notes whether the stores' mutex was held while it ran.
struct LockProbeWriters : WriterFactory {
  struct Probe : AccountWriter {
    explicit Probe(LockProbeWriters& owner) : owner(owner) {}
    ConfigureResult Configure() override {
      owner.held_during_configure.push_back(owner.processes->MutexHeld(kStoresMutexName));
      return result::kConfigured;
    }
    LockProbeWriters& owner;
  };
  std::unique_ptr<AccountWriter> MakeWriter(ClientKind, const WriterContext&, const AccountRequest&,
                                            const AutomaticPrefix&) override {
    return std::make_unique<Probe>(*this);
  }
  std::unique_ptr<AccountLookup> MakeLookup(ClientKind, const WriterContext&) override { return nullptr; }

  MemoryProcesses* processes = nullptr;
  std::vector<bool> held_during_configure;
};

TEST(StoresLock, HeldWhileTheWriterRunsAndReleasedAfterwards) {
  RunTestBed bed;
  LockProbeWriters writers;
  writers.processes = &bed.machine.processes;
  bed.writers = &writers;
  EXPECT_EQ(0, bed.Run("-n \"Jo\" -c 4 -a jdoe"));
  EXPECT_EQ(0, bed.Run("-n \"Jo\" -c 4 -a jdoe")) << "a finished run leaves the mutex free";
  EXPECT_EQ((std::vector<bool>{true, true}), writers.held_during_configure);
  EXPECT_FALSE(bed.machine.processes.MutexHeld(kStoresMutexName));
  EXPECT_TRUE(bed.machine.processes.MutexWaits().empty());
}

// A second run that cannot get the mutex reads and writes no store, records
// why in the log and on standard error, and fails.
TEST(StoresLock, RunThatCannotHoldTheStoresTouchesNothing) {
  const struct {
    const char* command_line;
    bool other_run_holds;
    Status failure;
    const char* error;
    std::string description;
  } kCases[] = {
      {"-n \"Jo\" -c 4 -a jdoe", true, err::kSuccess, "busy",
       "Another Postwright run was configuring an email client and did not finish within 60 seconds; nothing was "
       "changed."},
      {"-auto -p \"QS \" -x", true, err::kSuccess, "busy",
       "Another Postwright run was configuring an email client and did not finish within 60 seconds; nothing was "
       "changed."},
      {"-n \"Jo\" -c 4 -a jdoe", false, err::kAccessDenied, "noLock",
       "Postwright could not make sure that no other run is configuring an email client (error code 5); nothing "
       "was changed."},
  };
  for (const auto& c : kCases) {
    RunTestBed bed;
    LockProbeWriters writers;
    writers.processes = &bed.machine.processes;
    bed.writers = &writers;
    bed.detection.running_lines = {"(running clients were looked at)"};
    MutexHoldPtr other_run;
    if (c.other_run_holds) {
      ASSERT_EQ(err::kSuccess, bed.machine.processes.HoldMutex(kStoresMutexName, 0, &other_run));
    }
    bed.machine.processes.FailMutex(c.failure);

    // Busy is worth a retry, and says so with its own status.
    EXPECT_EQ(c.other_run_holds ? 4 : 1, bed.Run(c.command_line)) << c.command_line;
    EXPECT_TRUE(writers.held_during_configure.empty());
    EXPECT_FALSE(bed.detection.asked_to_close) << "no client is closed for a run that cannot go on";
    const Lines lines = bed.LogLines();
    ASSERT_EQ(9u, lines.size()) << c.command_line;
    EXPECT_EQ((Lines{"Email Client Configuration failed with error : " + std::string(c.error),
                     "Description: " + c.description, "* Configuration Failed at 14:05:09 on 12/07/08 *", ""}),
              Lines(lines.begin() + 5, lines.end()));
    EXPECT_EQ("Postwright: " + c.description + " (log: " + kLogPath + ")\n", bed.machine.std_out.err);
    EXPECT_EQ((std::vector<uint32_t>(c.other_run_holds ? 1 : 0, 60000)), bed.machine.processes.MutexWaits());
  }
}

}  // namespace
}  // namespace pw
