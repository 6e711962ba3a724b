#include <gtest/gtest.h>

#include "platform/SafeReplace.h"
#include "platform/fault/FaultInjecting.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace {

const std::string kPath = "C:\\Profile\\prefs.js";
const std::string kTemp = "C:\\Profile\\prefs.tmp";
const std::string kOriginal = "user_pref(\"a\", 1);\r\n";
const std::string kNew = "user_pref(\"a\", 2);\r\n";

TEST(SafeReplace, SaveReplacesTheFileOrCreatesIt) {
  MemoryPlatform machine;
  machine.files.PutFile(kPath, kOriginal);
  SafeReplace file(machine.files, machine.clock);

  EXPECT_TRUE(file.Save(kPath, kTemp, kNew).ok());
  EXPECT_EQ(kNew, machine.files.FileBytes(kPath));
  EXPECT_FALSE(machine.files.HasFile(kTemp));

  // A stale temporary file from an earlier run is overwritten, not appended to.
  machine.files.PutFile(kTemp, "left over");
  EXPECT_TRUE(file.Save("C:\\Profile\\new.ini", kTemp, "x\r\n").ok());
  EXPECT_EQ("x\r\n", machine.files.FileBytes("C:\\Profile\\new.ini"));
  EXPECT_EQ(std::vector<std::string>({"C:\\Profile\\new.ini", "C:\\Profile\\prefs.js"}),
            machine.files.Tree("C:\\Profile"));
  EXPECT_EQ(0u, machine.clock.paused_ms);
}

TEST(SafeReplace, EveryFailingStepLeavesTheOriginalAndNoTemporaryFile) {
  struct Case {
    int mutation;
    SaveStep step;
    const char* text;
  };
  const Case cases[] = {
      {1, SaveStep::kCreate, "Creating C:\\Profile\\prefs.tmp failed with error code 112."},
      {2, SaveStep::kWrite, "Writing C:\\Profile\\prefs.tmp failed with error code 112."},
      {3, SaveStep::kFlush, "Flushing C:\\Profile\\prefs.tmp failed with error code 112."},
      {4, SaveStep::kClose, "Closing C:\\Profile\\prefs.tmp failed with error code 112."},
      {5, SaveStep::kReplace, "Replacing C:\\Profile\\prefs.js failed with error code 112."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    FaultPlan plan;
    FaultInjectingFileSystem files(machine.files, plan);
    plan.FailNthMutation(c.mutation, err::kDiskFull);

    const SaveOutcome outcome = SafeReplace(files, machine.clock).Save(kPath, kTemp, kNew);
    EXPECT_EQ(err::kDiskFull, outcome.status);
    EXPECT_EQ(c.step, outcome.step);
    EXPECT_EQ(c.text, outcome.Describe());
    EXPECT_EQ(kOriginal, machine.files.FileBytes(kPath));
    EXPECT_EQ(std::vector<std::string>({kPath}), machine.files.Tree("C:\\Profile"));
  }
}

// Content made a piece at a time reaches the file whole, in writes of the
// buffer's size; a write that fails stops the save like any other.
TEST(SafeReplace, ContentInPiecesGoesThroughOneBuffer) {
  const size_t piece = SafeReplace::kWriteBuffer / 2 + 1;
  const std::string a(piece, 'a'), b(piece, 'b'), c(piece, 'c');
  const SaveProducer produce = [&](SaveSink& sink) {
    for (const std::string* text : {&a, &b, &c}) sink.Append(*text);
  };
  {
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    EXPECT_TRUE(SafeReplace(machine.files, machine.clock).Save(kPath, kTemp, produce).ok());
    EXPECT_EQ(a + b + c, machine.files.FileBytes(kPath));
    EXPECT_EQ(std::vector<std::string>({kPath}), machine.files.Tree("C:\\Profile"));
  }
  // Creating is the first change, the two writes the second and third.
  const struct {
    int mutation;
    SaveStep step;
  } cases[] = {{2, SaveStep::kWrite}, {3, SaveStep::kWrite}, {4, SaveStep::kFlush}};
  for (const auto& f : cases) {
    SCOPED_TRACE(f.mutation);
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    FaultPlan plan;
    FaultInjectingFileSystem files(machine.files, plan);
    plan.FailNthMutation(f.mutation, err::kDiskFull);
    const SaveOutcome outcome = SafeReplace(files, machine.clock).Save(kPath, kTemp, produce);
    EXPECT_EQ(err::kDiskFull, outcome.status);
    EXPECT_EQ(f.step, outcome.step);
    EXPECT_EQ(kOriginal, machine.files.FileBytes(kPath));
    EXPECT_EQ(std::vector<std::string>({kPath}), machine.files.Tree("C:\\Profile"));
  }
}

// Wine and virus scanners hold a freshly closed file briefly; a replace then
// fails with a sharing violation or with access denied.
TEST(SafeReplace, BriefHoldsOnReplaceAreRetriedAfterAPause) {
  for (Status held : {err::kSharingViolation, err::kAccessDenied}) {
    // Held once, then free: the second try goes through.
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    FaultPlan plan;
    FaultInjectingFileSystem files(machine.files, plan);
    plan.FailNthMutation(5, held);
    EXPECT_TRUE(SafeReplace(files, machine.clock).Save(kPath, kTemp, kNew).ok());
    EXPECT_EQ(kNew, machine.files.FileBytes(kPath));
    EXPECT_EQ(SafeReplace::kReplacePauseMs, machine.clock.paused_ms);
    EXPECT_FALSE(machine.files.HasFile(kTemp));
  }
  {
    // Held throughout: every try fails, and the original stays.
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    FaultPlan plan;
    FaultInjectingFileSystem files(machine.files, plan);
    plan.FailPath(kPath, err::kSharingViolation);
    const SaveOutcome outcome = SafeReplace(files, machine.clock).Save(kPath, kTemp, kNew);
    EXPECT_EQ(err::kSharingViolation, outcome.status);
    EXPECT_EQ(SaveStep::kReplace, outcome.step);
    EXPECT_EQ(5 + 4 + 1, plan.mutations());  // four steps, five tries, the removal
    EXPECT_EQ((SafeReplace::kReplaceAttempts - 1) * SafeReplace::kReplacePauseMs, machine.clock.paused_ms);
    EXPECT_EQ(kOriginal, machine.files.FileBytes(kPath));
    EXPECT_FALSE(machine.files.HasFile(kTemp));
  }
  {
    // Other refusals are final at once.
    MemoryPlatform machine;
    machine.files.PutFile(kPath, kOriginal);
    FaultPlan plan;
    FaultInjectingFileSystem files(machine.files, plan);
    plan.FailNthMutation(5, err::kDiskFull);
    EXPECT_EQ(err::kDiskFull, SafeReplace(files, machine.clock).Save(kPath, kTemp, kNew).status);
    EXPECT_EQ(0u, machine.clock.paused_ms);
    EXPECT_EQ(kOriginal, machine.files.FileBytes(kPath));
    EXPECT_FALSE(machine.files.HasFile(kTemp));
  }
}

TEST(SafeReplace, MissingFolderFailsAtCreation) {
  MemoryPlatform machine;
  const SaveOutcome outcome =
      SafeReplace(machine.files, machine.clock).Save("C:\\Nowhere\\prefs.js", "C:\\Nowhere\\prefs.tmp", kNew);
  EXPECT_EQ(err::kPathNotFound, outcome.status);
  EXPECT_EQ(SaveStep::kCreate, outcome.step);
  EXPECT_FALSE(machine.files.HasFolder("C:\\Nowhere"));
}

}  // namespace
}  // namespace pw
