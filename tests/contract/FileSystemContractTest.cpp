#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

FileSystem& Files() { return Backend().View().files; }

Status WriteNew(const std::string& path, const std::string& bytes) {
  OutputFilePtr file;
  if (Status s = Files().OpenNew(path, &file)) return s;
  if (Status s = file->Write(bytes)) return s;
  return file->Close();
}

Status Append(const std::string& path, const std::string& bytes) {
  OutputFilePtr file;
  if (Status s = Files().OpenAppend(path, &file)) return s;
  if (Status s = file->Write(bytes)) return s;
  if (Status s = file->Flush()) return s;
  return file->Close();
}

std::string Read(const std::string& path) {
  std::string bytes = "(unread)";
  EXPECT_EQ(err::kSuccess, Files().ReadAll(path, &bytes)) << path;
  return bytes;
}

TEST(FileSystemContract, ReadsBytesExactlyAndNamesWhatIsMissing) {
  const std::string dir = Backend().ScratchFolder();
  std::string binary("line one\r\nline two\n\x00\x1a\xff end", 25);
  for (int i = 0; i < 100000; ++i) binary += static_cast<char>(i % 251);
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\data.bin", binary));
  EXPECT_TRUE(binary == Read(dir + "\\data.bin"));
  // Either slash, any letter case.
  EXPECT_TRUE(binary == Read(dir + "/DATA.BIN"));

  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\empty.txt", ""));
  EXPECT_EQ("", Read(dir + "\\empty.txt"));

  std::string bytes = "untouched";
  EXPECT_EQ(err::kFileNotFound, Files().ReadAll(dir + "\\missing.txt", &bytes));
  EXPECT_EQ(err::kPathNotFound, Files().ReadAll(dir + "\\no folder\\missing.txt", &bytes));
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\folder"));
  EXPECT_EQ(err::kAccessDenied, Files().ReadAll(dir + "\\folder", &bytes));
  EXPECT_EQ("untouched", bytes);
}

// A backup is a copy: the bytes and the last-write time of the original,
// over whatever the target held.
TEST(FileSystemContract, CopyKeepsBytesAndTimeAndReplacesTheTarget) {
  const std::string dir = Backend().ScratchFolder();
  const std::string bytes("a\r\nb\0c", 6);
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\prefs.js", bytes));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\copy.js", "older and longer content"));
  ASSERT_EQ(err::kSuccess, Files().Copy(dir + "\\prefs.js", dir + "\\copy.js"));
  EXPECT_EQ(bytes, Read(dir + "\\copy.js"));
  FileAttributes original, copy;
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(dir + "\\prefs.js", &original));
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(dir + "\\copy.js", &copy));
  EXPECT_EQ(original.last_write, copy.last_write);
  EXPECT_EQ(6u, copy.size);

  EXPECT_EQ(err::kFileNotFound, Files().Copy(dir + "\\missing.js", dir + "\\x.js"));
  EXPECT_EQ(err::kPathNotFound, Files().Copy(dir + "\\prefs.js", dir + "\\no folder\\x.js"));
  EXPECT_EQ(err::kFileNotFound, Files().ReadAttributes(dir + "\\x.js", &copy));
}

TEST(FileSystemContract, OpenNewTruncatesAndAppendKeepsWhatWasThere) {
  const std::string dir = Backend().ScratchFolder();
  const std::string path = dir + "\\Postwright.log";
  ASSERT_EQ(err::kSuccess, Append(path, "first run\r\n"));
  ASSERT_EQ(err::kSuccess, Append(path, "second run\r\n"));
  EXPECT_EQ("first run\r\nsecond run\r\n", Read(path));

  ASSERT_EQ(err::kSuccess, WriteNew(path, "short"));
  EXPECT_EQ("short", Read(path));
  ASSERT_EQ(err::kSuccess, WriteNew(path, "new"));
  EXPECT_EQ("new", Read(path));

  OutputFilePtr file;
  EXPECT_EQ(err::kPathNotFound, Files().OpenNew(dir + "\\no folder\\x.txt", &file));
  EXPECT_EQ(err::kPathNotFound, Files().OpenAppend(dir + "\\no folder\\x.txt", &file));
  EXPECT_EQ(nullptr, file);
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\folder"));
  EXPECT_EQ(err::kAccessDenied, Files().OpenNew(dir + "\\folder", &file));
  EXPECT_EQ(err::kAccessDenied, Files().OpenAppend(dir + "\\folder", &file));
}

TEST(FileSystemContract, AFileBeingWrittenCanBeReadButNotOpenedTwiceOrMoved) {
  const std::string dir = Backend().ScratchFolder();
  const std::string path = dir + "\\log.txt";
  OutputFilePtr log;
  ASSERT_EQ(err::kSuccess, Files().OpenAppend(path, &log));
  ASSERT_EQ(err::kSuccess, log->Write("written, "));
  ASSERT_EQ(err::kSuccess, log->Flush());
  EXPECT_EQ("written, ", Read(path));

  OutputFilePtr second;
  EXPECT_EQ(err::kSharingViolation, Files().OpenAppend(path, &second));
  EXPECT_EQ(err::kSharingViolation, Files().OpenNew(path, &second));
  EXPECT_EQ(nullptr, second);
  EXPECT_EQ(err::kSharingViolation, Files().Remove(path));
  EXPECT_EQ(err::kSharingViolation, Files().Replace(path, dir + "\\moved.txt"));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\other.txt", "other"));
  EXPECT_EQ(err::kAccessDenied, Files().Replace(dir + "\\other.txt", path));

  ASSERT_EQ(err::kSuccess, log->Write("still open"));
  ASSERT_EQ(err::kSuccess, log->Close());
  EXPECT_EQ(err::kInvalidHandle, log->Close());
  EXPECT_EQ(err::kInvalidHandle, log->Write("late"));
  EXPECT_EQ(err::kInvalidHandle, log->Flush());
  EXPECT_EQ("written, still open", Read(path));
  EXPECT_EQ(err::kSuccess, Files().Remove(path));

  // Destroying an open file closes it.
  ASSERT_EQ(err::kSuccess, Files().OpenNew(path, &log));
  ASSERT_EQ(err::kSuccess, log->Write("dropped"));
  log.reset();
  EXPECT_EQ(err::kSuccess, Files().Replace(path, dir + "\\moved.txt"));
  EXPECT_EQ("dropped", Read(dir + "\\moved.txt"));
}

TEST(FileSystemContract, ReplaceMovesOverAnExistingFileOrIntoAFreeName) {
  const std::string dir = Backend().ScratchFolder();
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\prefs.js", "old settings"));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\prefs.tmp", "new settings"));
  ASSERT_EQ(err::kSuccess, Files().Replace(dir + "\\prefs.tmp", dir + "\\prefs.js"));
  EXPECT_EQ("new settings", Read(dir + "\\prefs.js"));
  std::string bytes;
  EXPECT_EQ(err::kFileNotFound, Files().ReadAll(dir + "\\prefs.tmp", &bytes));

  ASSERT_EQ(err::kSuccess, Files().Replace(dir + "\\prefs.js", dir + "\\renamed.js"));
  EXPECT_EQ("new settings", Read(dir + "\\renamed.js"));
  EXPECT_EQ(err::kFileNotFound, Files().ReadAll(dir + "\\prefs.js", &bytes));

  EXPECT_EQ(err::kFileNotFound, Files().Replace(dir + "\\gone.tmp", dir + "\\renamed.js"));
  EXPECT_EQ("new settings", Read(dir + "\\renamed.js"));
  EXPECT_EQ(err::kPathNotFound, Files().Replace(dir + "\\renamed.js", dir + "\\no folder\\x.js"));
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\folder"));
  EXPECT_EQ(err::kAccessDenied, Files().Replace(dir + "\\renamed.js", dir + "\\folder"));
  EXPECT_EQ("new settings", Read(dir + "\\renamed.js"));
}

TEST(FileSystemContract, RemoveDeletesFilesOnly) {
  const std::string dir = Backend().ScratchFolder();
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\a.tmp", "x"));
  EXPECT_EQ(err::kSuccess, Files().Remove(dir + "\\A.TMP"));
  std::string bytes;
  EXPECT_EQ(err::kFileNotFound, Files().ReadAll(dir + "\\a.tmp", &bytes));
  EXPECT_EQ(err::kFileNotFound, Files().Remove(dir + "\\a.tmp"));
  EXPECT_EQ(err::kPathNotFound, Files().Remove(dir + "\\no folder\\a.tmp"));
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\folder"));
  EXPECT_EQ(err::kAccessDenied, Files().Remove(dir + "\\folder"));
}

TEST(FileSystemContract, MakeFolderCreatesOneLevel) {
  const std::string dir = Backend().ScratchFolder();
  EXPECT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\Thunderbird"));
  EXPECT_EQ(err::kAlreadyExists, Files().MakeFolder(dir + "\\THUNDERBIRD"));
  EXPECT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\thunderbird\\Profiles"));
  EXPECT_EQ(err::kPathNotFound, Files().MakeFolder(dir + "\\Missing\\Profiles"));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\Thunderbird\\Profiles\\profiles.ini", "x"));
  EXPECT_EQ("x", Read(dir + "\\THUNDERBIRD\\profiles\\PROFILES.INI"));
  EXPECT_EQ(err::kAlreadyExists, Files().MakeFolder(dir + "\\Thunderbird\\Profiles\\profiles.ini"));
}

TEST(FileSystemContract, RemoveFolderTakesOnlyAnEmptyFolder) {
  const std::string dir = Backend().ScratchFolder();
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\Profiles"));
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\Profiles\\x.default"));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\Profiles\\x.default\\prefs.js", "x"));
  EXPECT_EQ(err::kDirNotEmpty, Files().RemoveFolder(dir + "\\Profiles"));
  EXPECT_EQ(err::kDirectory, Files().RemoveFolder(dir + "\\Profiles\\x.default\\prefs.js"));
  EXPECT_EQ(err::kFileNotFound, Files().RemoveFolder(dir + "\\Missing"));
  EXPECT_EQ(err::kPathNotFound, Files().RemoveFolder(dir + "\\Missing\\x.default"));

  ASSERT_EQ(err::kSuccess, Files().Remove(dir + "\\Profiles\\x.default\\prefs.js"));
  EXPECT_EQ(err::kSuccess, Files().RemoveFolder(dir + "\\PROFILES\\X.DEFAULT"));
  EXPECT_EQ(err::kSuccess, Files().RemoveFolder(dir + "\\Profiles"));
  FileAttributes attributes;
  EXPECT_EQ(err::kFileNotFound, Files().ReadAttributes(dir + "\\Profiles", &attributes));
}

TEST(FileSystemContract, AttributesTellFoldersAndReadOnlyFiles) {
  const std::string dir = Backend().ScratchFolder();
  const std::string path = dir + "\\prefs.js";
  ASSERT_EQ(err::kSuccess, WriteNew(path, "locked"));
  FileAttributes attributes;
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(path, &attributes));
  EXPECT_FALSE(attributes.folder);
  EXPECT_FALSE(attributes.read_only);
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(dir, &attributes));
  EXPECT_TRUE(attributes.folder);
  EXPECT_EQ(err::kFileNotFound, Files().ReadAttributes(dir + "\\missing.js", &attributes));
  EXPECT_EQ(err::kPathNotFound, Files().ReadAttributes(dir + "\\no folder\\prefs.js", &attributes));

  Backend().MakeReadOnly(path);
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(dir + "\\PREFS.JS", &attributes));
  EXPECT_TRUE(attributes.read_only);
  EXPECT_FALSE(attributes.folder);
  EXPECT_EQ("locked", Read(path));

  // Like Windows, Wine refuses to remove a read-only file. Unlike Windows,
  // which answers 5, it lets one be replaced; and whether it may be opened for
  // writing depends on the user Wine runs as. Nothing may count on either: a
  // writer that must leave such a file alone reads its attributes first.
  EXPECT_EQ(err::kAccessDenied, Files().Remove(path));
  ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\prefs.tmp", "new"));
  EXPECT_EQ(err::kSuccess, Files().Replace(dir + "\\prefs.tmp", path));
  EXPECT_EQ("new", Read(path));
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(path, &attributes));
  EXPECT_FALSE(attributes.read_only);
  EXPECT_EQ(err::kSuccess, Files().Remove(path));
}

// What tells a change without reading the file: a write changes the size or
// the last-write time, and a move takes both along.
TEST(FileSystemContract, SizeAndLastWriteTimeTellAChangeAndMoveWithTheFile) {
  const std::string dir = Backend().ScratchFolder();
  const std::string path = dir + "\\prefs.js", temp = dir + "\\prefs.tmp";
  ASSERT_EQ(err::kSuccess, WriteNew(path, "ours\r\n"));
  FileAttributes before, after, moved;
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(path, &before));
  EXPECT_EQ(6u, before.size);
  // File times are kept in ticks of the system clock (a few milliseconds).
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(err::kSuccess, WriteNew(path, "odd\r\n!"));
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(path, &after));
  EXPECT_EQ(6u, after.size);
  EXPECT_NE(before.last_write, after.last_write) << "the same size, other bytes";

  ASSERT_EQ(err::kSuccess, WriteNew(temp, "new"));
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(temp, &moved));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_EQ(err::kSuccess, Files().Replace(temp, path));
  ASSERT_EQ(err::kSuccess, Files().ReadAttributes(path, &after));
  EXPECT_EQ(3u, after.size);
  EXPECT_EQ(moved.last_write, after.last_write);
}

TEST(FileSystemContract, ListMatchesWildcardsWithoutRegardToCase) {
  const std::string dir = Backend().ScratchFolder();
  for (const char* name : {"account{6c1a}.oeaccount", "Account2.tmp", "ACCOUNTS", "myaccount", "other.txt"})
    ASSERT_EQ(err::kSuccess, WriteNew(dir + "\\" + name, "x"));
  ASSERT_EQ(err::kSuccess, Files().MakeFolder(dir + "\\accountDir"));

  std::vector<std::string> names;
  ASSERT_EQ(err::kSuccess, Files().List(dir + "\\account*", &names));
  EXPECT_EQ((std::vector<std::string>{"Account2.tmp", "accountDir", "ACCOUNTS", "account{6c1a}.oeaccount"}), names);
  ASSERT_EQ(err::kSuccess, Files().List(dir + "\\ACCOUNT?.TMP", &names));
  EXPECT_EQ((std::vector<std::string>{"Account2.tmp"}), names);
  ASSERT_EQ(err::kSuccess, Files().List(dir + "\\*", &names));
  EXPECT_EQ((std::vector<std::string>{"Account2.tmp", "accountDir", "ACCOUNTS", "account{6c1a}.oeaccount",
                                      "myaccount", "other.txt"}),
            names);

  names = {"stale"};
  EXPECT_EQ(err::kFileNotFound, Files().List(dir + "\\nothing*", &names));
  EXPECT_EQ(err::kFileNotFound, Files().List(dir + "\\accountDir\\*", &names));  // only "." and ".."
  EXPECT_EQ(err::kPathNotFound, Files().List(dir + "\\Missing\\account*", &names));
}

}  // namespace
}  // namespace pw
