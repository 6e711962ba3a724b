// Windows Mail accounts written by real runs of Postwright.exe under a seeded
// "Store Root": a new account file made, made the default, and found and
// rewritten by a second run; a file as Windows Mail writes it rewritten in
// place; files in other layouts rewritten or refused. When
// POSTWRIGHT_ACCOUNT_FILES names a folder, every account file a successful
// run leaves is copied there, where check-account-xml.sh reads each with a
// real XML parser.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../unit/clients/files/WindowsMailFixtures.h"
#include "../unit/clients/files/WindowsMailLayouts.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

const char kIam[] = "Software\\Microsoft\\IAM";
const char kOldDefault[] = "account{x}.oeaccount";

std::string LocalFolders() {
  char profile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  EXPECT_TRUE(length > 0 && length < sizeof profile);
  return std::string(profile, length) + "\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
}

void SeedStore() {
  bed::SeedValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail", "Store Root", REG_EXPAND_SZ,
                 bed::WithNul("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\"));
  bed::SeedFolder(LocalFolders());
  bed::SeedText(HKEY_CURRENT_USER, kIam, "Default Mail Account", kOldDefault);
}

Lines AccountFiles() {
  Lines names;
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((LocalFolders() + "\\account*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

void KeepAccountFiles() {
  const char* keep = std::getenv("POSTWRIGHT_ACCOUNT_FILES");
  if (!keep || !*keep) return;
  static int kept = 0;
  for (const std::string& name : AccountFiles())
    bed::SeedFile(std::string(keep) + "\\" + std::to_string(++kept) + ".oeaccount",
                  bed::ReadBytes(LocalFolders() + "\\" + name).value_or(""));
}

DWORD RunPostwright(const std::string& arguments) {
  const bed::RunResult run = bed::RunPostwright(arguments);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  if (run.exit_code == 0) KeepAccountFiles();
  return run.exit_code;
}

// What changed; a file's new bytes are left out.
std::set<std::string> Changes(const bed::State& before) {
  std::set<std::string> changes;
  std::istringstream lines(bed::DescribeChanges(before, bed::CaptureState()));
  for (std::string line; std::getline(lines, line);) {
    if (line.find(": file ") != std::string::npos) {
      line.erase(line.find('"'));  // the bytes follow in quotes
      while (line.back() == ' ' || line.back() == ':') line.pop_back();
    }
    changes.insert(line);
  }
  return changes;
}

class WindowsMailWineTest : public WineTest {};

TEST_F(WindowsMailWineTest, NewAccountIsMadeTheDefaultAndASecondRunRewritesIt) {
  SeedStore();
  const bed::State before = bed::CaptureState();
  ASSERT_EQ(0u, RunPostwright("-n \"Tom & Jerry <TJ>\" -c 2 -a jdoe -d"));
  const Lines files = AccountFiles();
  ASSERT_EQ(1u, files.size());
  const std::string name = files[0];
  const std::string path = LocalFolders() + "\\" + name;
  EXPECT_EQ(55u, name.size()) << name;
  EXPECT_EQ(0u, name.rfind("account{", 0)) << name;
  const std::string written = bed::ReadBytes(path).value_or("(missing)");
  EXPECT_EQ(NewAccountFile("Tom &amp; Jerry &lt;TJ&gt;"), written);
  EXPECT_EQ(std::set<std::string>({path + ": file created", bed::LogPath() + ": file created",
                                   "HKCU\\Software\\Microsoft\\IAM: value \"Default Mail Account\" changed from type 1 "
                                   "\"account{x}.oeaccount\\x00\" to type 1 \"" + name + "\""}),
            Changes(before));

  ASSERT_EQ(0u, RunPostwright("-n \"Tom & Jerry <TJ>\" -c 2 -a jdoe -u"));
  EXPECT_EQ(Lines{name}, AccountFiles());  // found, not made again
  EXPECT_EQ(written, bed::ReadBytes(path).value_or("(missing)"));
}

TEST_F(WindowsMailWineTest, AccountFileOfWindowsMailIsRewrittenInPlace) {
  SeedStore();
  const std::string path = LocalFolders() + "\\account{0c3a1e55-2b7d-4f4e-9d61-3f0c9a7b5e21}.oeaccount";
  bed::SeedFile(path, Utf16File(CrlfLines({
                          kAccountDeclaration,
                          "<MessageAccount>",
                          "\t<Account_Name type=\"SZ\">Old name</Account_Name>",
                          "\t<POP3_Server type=\"SZ\">pop.old.example</POP3_Server>",
                          "\t<POP3_Prompt_for_Password type=\"DWORD\">00000000</POP3_Prompt_for_Password>",
                          "\t<SMTP_Display_Name type=\"SZ\">Jo</SMTP_Display_Name>",
                          "\t<SMTP_Email_Address type=\"SZ\">jdoe@quillset.example</SMTP_Email_Address>",
                          "</MessageAccount>",
                      })));
  const bed::State before = bed::CaptureState();
  ASSERT_EQ(0u, RunPostwright("-n \"Jo Doe\" -c 2 -a jdoe -u"));

  const Lines e = AccountElements();
  EXPECT_EQ(Utf16File(CrlfLines({kAccountDeclaration, "<MessageAccount>", e[0], e[2],
                                 "    <POP3_Prompt_for_Password type=\"DWORD\">00000000</POP3_Prompt_for_Password>",
                                 e[14], e[15], e[1], e[3], e[4], e[5], e[6], e[7], e[8], e[9], e[10], e[11], e[12],
                                 e[13], "</MessageAccount>"})),
            bed::ReadBytes(path).value_or("(missing)"));
  EXPECT_EQ(std::set<std::string>({path + ": file changed to", bed::LogPath() + ": file created"}), Changes(before));
}

// Each run finds its file as hand edits leave it; every file rewritten is kept for the XML parser.
TEST_F(WindowsMailWineTest, AccountFilesInOtherLayoutsAreRewrittenWellFormedOrLeftAlone) {
  SeedStore();
  const std::string name = "account{6d1f0b7e-93c4-4a51-8e2a-0b5c7d9e1f23}.oeaccount";
  const std::string path = LocalFolders() + "\\" + name;
  for (const AccountLayout& layout : OddAccountLayouts()) {
    SCOPED_TRACE(layout.name);
    bed::SeedText(HKEY_CURRENT_USER, kIam, "Default Mail Account", kOldDefault);
    bed::SeedFile(path, Utf16File(layout.before));
    const bool refused = layout.after.empty();
    EXPECT_EQ(refused ? 1u : 0u, RunPostwright("-n \"Jo Doe\" -c 2 -a jdoe -u -d"));
    EXPECT_EQ(Lines{name}, AccountFiles());
    EXPECT_EQ(Utf16File(refused ? layout.before : CrlfLines(layout.after)), bed::ReadBytes(path).value_or("(missing)"));
    const std::optional<bed::Value> default_account = bed::ReadValue(HKEY_CURRENT_USER, kIam, "Default Mail Account");
    ASSERT_TRUE(default_account.has_value());
    EXPECT_EQ(refused ? bed::WithNul(kOldDefault) : name, default_account->bytes);
  }
}

}  // namespace
}  // namespace pw
