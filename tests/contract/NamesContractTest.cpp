// Names and texts outside ASCII: the seam's text is UTF-8 whatever the
// system's code page, and names compare without regard to case beyond ASCII.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

using std::string_literals::operator""s;

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kHebrew = "\xD7\x93\xD7\xA0\xD7\x99";       // three Hebrew letters
const std::string kMarked = "\xD7\x93\xD6\xBC\xD6\xB8";       // a letter with two marks
const std::string kLower = "j\xC3\xB6rg";                      // with o-diaeresis
const std::string kUpper = "J\xC3\x96RG";                      // the same, upper case
const std::string kBeyondBmp = "smile \xF0\x9F\x98\x80";       // U+1F600

TEST(NamesContract, RegistryKeysAndValuesNamedInAnyScript) {
  Registry& registry = Backend().View().registry;
  const std::string base = Backend().ScratchKey();
  for (const std::string& name : {kHebrew, kMarked, kLower, kBeyondBmp}) {
    RegKeyPtr key;
    ASSERT_EQ(err::kSuccess, registry.CreateKey(kHkcu, base + "\\" + name, RegAccess::kAllAccess, &key)) << name;
    const std::string text = name + " = " + kHebrew + kBeyondBmp + '\0';
    EXPECT_EQ(err::kSuccess, key->SetValue(name, regtype::kSz, text));
    EXPECT_EQ(err::kSuccess, key->SetValue(name + " raw", regtype::kBinary, "\xD7\x93\0\xFF"s));
    key.reset();

    ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\" + name, RegAccess::kRead, &key)) << name;
    RegValue value;
    ASSERT_EQ(err::kSuccess, key->QueryValue(name, &value)) << name;
    EXPECT_EQ(regtype::kSz, value.type);
    EXPECT_EQ(text, value.data) << name;
    ASSERT_EQ(err::kSuccess, key->QueryValue(name + " raw", &value));
    EXPECT_EQ("\xD7\x93\0\xFF"s, value.data) << "binary values stay bytes";
  }
  // A text without its NUL and one of several strings come back as given.
  RegKeyPtr key;
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\" + kHebrew, RegAccess::kAllAccess, &key));
  for (const auto& [type, data] : {std::pair<uint32_t, std::string>{regtype::kSz, kMarked},
                                   {regtype::kExpandSz, "%APPDATA%\\" + kHebrew + '\0'},
                                   {regtype::kMultiSz, kHebrew + '\0' + kBeyondBmp + '\0' + '\0'}}) {
    ASSERT_EQ(err::kSuccess, key->SetValue("text", type, data));
    RegValue value;
    ASSERT_EQ(err::kSuccess, key->QueryValue("TEXT", &value));
    EXPECT_EQ(type, value.type);
    EXPECT_EQ(data, value.data);
  }
  EXPECT_EQ(err::kSuccess, key->DeleteValue(kHebrew));
  RegValue gone;
  EXPECT_EQ(err::kFileNotFound, key->QueryValue(kHebrew, &gone));

  // Letter case beyond ASCII is ignored too; the name keeps its own case.
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base + "\\" + kUpper, RegAccess::kRead, &key));
  ASSERT_EQ(err::kSuccess, registry.OpenKey(kHkcu, base, RegAccess::kRead, &key));
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; key->EnumSubkey(i, &name) == err::kSuccess; ++i) names.push_back(name);
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected{kHebrew, kMarked, kLower, kBeyondBmp};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, names);
  EXPECT_EQ(err::kSuccess, registry.DeleteKey(kHkcu, base + "\\" + kUpper));
  EXPECT_EQ(err::kFileNotFound, registry.OpenKey(kHkcu, base + "\\" + kLower, RegAccess::kRead, &key));
}

TEST(NamesContract, FilesAndFoldersNamedInAnyScript) {
  FileSystem& files = Backend().View().files;
  const std::string folder = Backend().ScratchFolder() + "\\" + kHebrew;
  ASSERT_EQ(err::kSuccess, files.MakeFolder(folder));
  for (const std::string& name : {kMarked + ".txt", kLower + ".txt", kBeyondBmp + ".txt"}) {
    OutputFilePtr file;
    ASSERT_EQ(err::kSuccess, files.OpenNew(folder + "\\" + name, &file)) << name;
    ASSERT_EQ(err::kSuccess, file->Write(name));
    ASSERT_EQ(err::kSuccess, file->Close());
    std::string bytes;
    ASSERT_EQ(err::kSuccess, files.ReadAll(folder + "\\" + name, &bytes));
    EXPECT_EQ(name, bytes);
  }
  std::string bytes;
  EXPECT_EQ(err::kSuccess, files.ReadAll(folder + "\\" + kUpper + ".TXT", &bytes));
  EXPECT_EQ(kLower + ".txt", bytes);

  std::vector<std::string> names;
  ASSERT_EQ(err::kSuccess, files.List(folder + "\\*.txt", &names));
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected{kMarked + ".txt", kLower + ".txt", kBeyondBmp + ".txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, names);
  // '?' is one UTF-16 unit: two for a character beyond the BMP.
  EXPECT_EQ(err::kFileNotFound, files.List(folder + "\\smile ?.txt", &names));
  ASSERT_EQ(err::kSuccess, files.List(folder + "\\smile ??.txt", &names));
  EXPECT_EQ(std::vector<std::string>{kBeyondBmp + ".txt"}, names);
  ASSERT_EQ(err::kSuccess, files.List(folder + "\\" + kUpper + ".*", &names));
  EXPECT_EQ(std::vector<std::string>{kLower + ".txt"}, names);

  const std::string moved = folder + "\\" + kHebrew + ".ini";
  EXPECT_EQ(err::kSuccess, files.Replace(folder + "\\" + kMarked + ".txt", moved));
  ASSERT_EQ(err::kSuccess, files.ReadAll(moved, &bytes));
  EXPECT_EQ(kMarked + ".txt", bytes);
  FileAttributes attributes;
  ASSERT_EQ(err::kSuccess, files.ReadAttributes(folder, &attributes));
  EXPECT_TRUE(attributes.folder);
  for (const std::string& name : {kHebrew + ".ini", kLower + ".txt", kBeyondBmp + ".txt"})
    EXPECT_EQ(err::kSuccess, files.Remove(folder + "\\" + name)) << name;
  EXPECT_EQ(err::kSuccess, files.RemoveFolder(folder));
  EXPECT_EQ(err::kFileNotFound, files.ReadAttributes(folder, &attributes));
}

TEST(NamesContract, EnvironmentTextInAnyScript) {
  Environment& environment = Backend().View().environment;
  const std::string value = "C:\\Users\\" + kHebrew + "\\" + kBeyondBmp;
  Backend().SetVariable("PwContract" + kHebrew, value);
  std::string read;
  ASSERT_TRUE(environment.Variable("PWCONTRACT" + kHebrew, &read));
  EXPECT_EQ(value, read);
  Backend().UnsetVariable("PwContract" + kHebrew);
  EXPECT_FALSE(environment.Variable("PwContract" + kHebrew, &read));
}

// A program named outside ASCII starts and shows under its own name.
TEST(NamesContract, ProgramsNamedInAnyScript) {
  Processes& processes = Backend().View().processes;
  const std::string exe = kHebrew + ".exe";
  const std::string program = Backend().DummyProgram(exe);
  ASSERT_EQ(err::kSuccess, processes.Start(program, "\"" + program + "\" " + kBeyondBmp));
  std::vector<ProcessEntry> entries;
  ASSERT_EQ(err::kSuccess, processes.Snapshot(&entries));
  uint32_t id = 0;
  for (const ProcessEntry& entry : entries)
    if (entry.exe == exe) id = entry.id;
  ASSERT_NE(0u, id);
  ProcessHandlePtr process;
  ASSERT_EQ(err::kSuccess, processes.Open(id, &process));
  EXPECT_EQ(err::kSuccess, process->Terminate(0));
  EXPECT_EQ(err::kSuccess, process->WaitForExit(10000));
}

}  // namespace
}  // namespace pw
