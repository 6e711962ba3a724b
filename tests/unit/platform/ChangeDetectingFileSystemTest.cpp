#include "platform/ChangeDetectingFileSystem.h"

#include <gtest/gtest.h>

#include <functional>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace {

constexpr char kPrefs[] = "C:\\Profile\\prefs.js";
constexpr char kTemp[] = "C:\\Profile\\prefs.tmp";

// A settings file saved by way of the guard, after someone else may have
// changed it between our read and our replace.
TEST(ChangeDetectingFileSystem, SaveOverAFileChangedSinceItWasReadIsRefused) {
  const struct {
    const char* name;
    const char* before;  // nullptr: no file
    const char* read_as;  // the spelling the writer read it by; nullptr: never read
    std::function<void(MemoryFileSystem&)> other;
    Status expected;
    const char* after;  // nullptr: no file
  } kCases[] = {
      {"untouched", "old\r\n", kPrefs, [](MemoryFileSystem&) {}, err::kSuccess, "new\r\n"},
      {"rewritten by another", "old\r\n", kPrefs,
       [](MemoryFileSystem& f) { f.PutFile(kPrefs, "theirs\r\n"); }, err::kFileChanged, "theirs\r\n"},
      {"same length, other bytes", "old\r\n", "c:/profile/PREFS.JS",
       [](MemoryFileSystem& f) { f.PutFile(kPrefs, "odd\r\n"); }, err::kFileChanged, "odd\r\n"},
      {"removed by another", "old\r\n", kPrefs,
       [](MemoryFileSystem& f) { static_cast<void>(f.Remove(kPrefs)); }, err::kFileChanged, nullptr},
      {"created by another", nullptr, kPrefs, [](MemoryFileSystem& f) { f.PutFile(kPrefs, "theirs\r\n"); },
       err::kFileChanged, "theirs\r\n"},
      {"still missing", nullptr, kPrefs, [](MemoryFileSystem&) {}, err::kSuccess, "new\r\n"},
      {"never read", "old\r\n", nullptr, [](MemoryFileSystem& f) { f.PutFile(kPrefs, "theirs\r\n"); },
       err::kSuccess, "new\r\n"},
  };
  for (const auto& c : kCases) {
    MemoryPlatform machine;
    machine.files.PutFolder("C:\\Profile");
    if (c.before) machine.files.PutFile(kPrefs, c.before);
    ChangeDetectingFileSystem guarded(machine.files);
    std::string bytes;
    if (c.read_as) static_cast<void>(guarded.ReadAll(c.read_as, &bytes));
    c.other(machine.files);

    const SaveOutcome outcome = SafeReplace(guarded, machine.clock).Save(kPrefs, kTemp, "new\r\n");
    EXPECT_EQ(c.expected, outcome.status) << c.name;
    EXPECT_EQ(c.after != nullptr, machine.files.HasFile(kPrefs)) << c.name;
    if (c.after) EXPECT_EQ(c.after, machine.files.FileBytes(kPrefs)) << c.name;
    EXPECT_FALSE(machine.files.HasFile(kTemp)) << c.name;
  }
}

TEST(ChangeDetectingFileSystem, OwnReplaceIsRememberedAndOtherWritesAreChecked) {
  MemoryPlatform machine;
  machine.files.PutFile(kPrefs, "old\r\n");
  ChangeDetectingFileSystem guarded(machine.files);
  std::string bytes;
  ASSERT_EQ(err::kSuccess, guarded.ReadAll(kPrefs, &bytes));
  SafeReplace settings(guarded, machine.clock);
  ASSERT_TRUE(settings.Save(kPrefs, kTemp, "first\r\n").ok());
  EXPECT_TRUE(settings.Save(kPrefs, kTemp, "second\r\n").ok()) << "our own change is not someone else's";
  EXPECT_EQ("second\r\n", machine.files.FileBytes(kPrefs));

  machine.files.PutFile(kPrefs, "theirs\r\n");
  OutputFilePtr file;
  EXPECT_EQ(err::kFileChanged, guarded.OpenNew(kPrefs, &file));
  EXPECT_EQ(err::kFileChanged, guarded.OpenAppend(kPrefs, &file));
  EXPECT_EQ(err::kFileChanged, guarded.Remove(kPrefs));
  EXPECT_EQ("theirs\r\n", machine.files.FileBytes(kPrefs));

  ASSERT_EQ(err::kSuccess, guarded.ReadAll(kPrefs, &bytes)) << "reading again accepts the new content";
  EXPECT_EQ(err::kSuccess, guarded.Remove(kPrefs));
  EXPECT_FALSE(machine.files.HasFile(kPrefs));
}

}  // namespace
}  // namespace pw
