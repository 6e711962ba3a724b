// Thunderbird profiles written by real runs of Postwright.exe: the profile
// list and folder made for a user without Thunderbird data, an account added
// to a profile that has two, the profile an install section names, a found
// account rewritten with and without "-d" and as Thunderbird saves it (no
// port lines, STARTTLS, a shared SMTP server or none), and a prefs.js that
// cannot be replaced or is read-only left as it was.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../thunderbird/PrefsFixtures.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

constexpr char kRun[] = "-n \"Jo Doe\" -c 4 -a jdoe";
constexpr DWORD kConfigured = 0;
constexpr DWORD kFailed = 1;
const std::string kSearch = "Searching for existant jdoe@quillset.example account ... ";

std::string Thunderbird() { return bed::AppDataFolder() + "\\Thunderbird"; }
std::string ProfilesIni() { return Thunderbird() + "\\profiles.ini"; }
std::string Profile() { return Thunderbird() + "\\Profiles\\ab12cd34.default"; }
std::string Prefs() { return Profile() + "\\prefs.js"; }

// A default profile "Profiles/ab12cd34.default" holding `prefs`.
void SeedProfile(const std::string& prefs) {
  bed::SeedFile(ProfilesIni(),
                "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                "Path=Profiles/ab12cd34.default\r\n");
  bed::SeedFile(Prefs(), prefs);
}

DWORD RunPostwright(const std::string& arguments) {
  const bed::RunResult run = bed::RunPostwright(arguments);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  return run.exit_code;
}

// What changed, one "path: what" per change, without the files' bytes.
std::set<std::string> Changes(const bed::State& before) {
  std::set<std::string> changes;
  std::istringstream lines(bed::DescribeChanges(before, bed::CaptureState()));
  for (std::string line; std::getline(lines, line);) {
    std::string change = line.substr(0, line.find('"'));  // the bytes follow in quotes
    while (!change.empty() && (change.back() == ' ' || change.back() == ':')) change.pop_back();
    changes.insert(change);
  }
  return changes;
}

// The writer's part of the run log: from its start line up to the configure
// command's outcome line.
Lines WriterLog() {
  const Lines log = bed::LogLines();
  Lines part;
  bool in = false;
  for (const std::string& line : log) {
    if (line == "Starting Thunderbird configuration...") in = true;
    if (line.rfind("Email Client Configuration", 0) == 0) break;
    if (in) part.push_back(line);
  }
  return part;
}

Lines Report(int account, int identity, int server, int smtp = 1) {
  Lines lines{"", "The following lines were written/overwritten in the Thunderbird configuration file:", ""};
  for (const std::string& line : bed::SplitLines(Crlf(CompleteSet(account, identity, server, smtp))))
    lines.push_back(line);
  lines.push_back("");
  return lines;
}

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ThunderbirdWineTest : public WineTest {};

TEST_F(ThunderbirdWineTest, UserWithoutThunderbirdDataGetsProfileListFolderAndPrefs) {
  ASSERT_FALSE(bed::PathExists(Thunderbird()));
  const bed::State before = bed::CaptureState();
  ASSERT_EQ(kConfigured, RunPostwright(kRun));

  const std::string profile = Thunderbird() + "\\Profiles\\s8eyyog6.default";
  EXPECT_EQ(std::set<std::string>({Thunderbird() + ": folder created", Thunderbird() + "\\Profiles: folder created",
                                   profile + ": folder created", ProfilesIni() + ": file created",
                                   profile + "\\prefs.js: file created", bed::LogPath() + ": file created"}),
            Changes(before));
  EXPECT_EQ(
      "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
      "Path=Profiles/s8eyyog6.default\r\n",
      bed::ReadBytes(ProfilesIni()).value_or("(missing)"));
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), bed::ReadBytes(profile + "\\prefs.js").value_or("(missing)"));
  EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "",
                    "Profile data not found. Creating in user's application data folder ... done.",
                    "The folder Thunderbird is installed in is not known, so no profile is named for its "
                    "installation: a current Thunderbird makes a profile of its own on its first start.",
                    "Profile directory not found. Creating in user's application data folder ... done.",
                    kSearch + "not found. Creating new account."},
                   Report(2, 1, 2)),
            WriterLog());
}

// The other provider's smtp1 stays byte for byte; the new identity sends through smtp2.
TEST_F(ThunderbirdWineTest, AccountIsAddedToAProfileWithTwoAccountsWithAnSmtpServerOfItsOwn) {
  SeedProfile(Crlf(TwoAccountsPrefs()));
  const bed::State before = bed::CaptureState();
  ASSERT_EQ(kConfigured, RunPostwright(kRun));
  EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account1")), bed::ReadBytes(Prefs()).value_or("(missing)"));
  EXPECT_EQ(std::set<std::string>({Prefs() + ": file changed to", bed::LogPath() + ": file created"}), Changes(before));
  EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account."},
                   Report(3, 2, 3, 2)),
            WriterLog());
}

// As a fresh start of a current Thunderbird leaves it: an unused profile
// "default" marked Default=1, and the profile it opens named in its install
// section; with a UTF-8 byte-order mark in front, which the client skips.
TEST_F(ThunderbirdWineTest, TheProfileOfTheInstallSectionGetsTheAccount) {
  const std::string used = Thunderbird() + "\\Profiles\\x.default-release\\prefs.js";
  const std::string unused = Thunderbird() + "\\Profiles\\s.default\\prefs.js";
  const std::string list = "[InstallFDC34C9F024745EB]\r\nDefault=Profiles/x.default-release\r\nLocked=1\r\n\r\n"
                           "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/s.default\r\nDefault=1\r\n\r\n"
                           "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/x.default-release\r\n";
  for (const std::string& mark : {std::string(), std::string("\xEF\xBB\xBF")}) {
    SCOPED_TRACE(mark.size());
    bed::Reset();
    bed::SeedFile(ProfilesIni(), mark + list);
    bed::SeedFile(unused, "// Mozilla User Preferences\r\n");
    bed::SeedFile(used, Crlf(TwoAccountsPrefs()));
    const bed::State before = bed::CaptureState();
    ASSERT_EQ(kConfigured, RunPostwright(kRun));
    EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account1")), bed::ReadBytes(used).value_or("(missing)"));
    EXPECT_EQ(std::set<std::string>({used + ": file changed to", bed::LogPath() + ": file created"}), Changes(before));
  }
}

TEST_F(ThunderbirdWineTest, FoundAccountIsRewrittenWithAndWithoutMakeDefault) {
  for (const char* flags : {"", " -d"}) {
    SCOPED_TRACE(flags);
    bed::Reset();
    SeedProfile(Crlf(JdoePrefs()));
    const bed::State before = bed::CaptureState();
    ASSERT_EQ(kConfigured, RunPostwright(std::string(kRun) + " -u" + flags));
    EXPECT_EQ(Crlf(JdoePrefsRewritten(*flags ? "account2" : "account1")),
              bed::ReadBytes(Prefs()).value_or("(missing)"));
    EXPECT_EQ(std::set<std::string>({Prefs() + ": file changed to", bed::LogPath() + ": file created"}),
              Changes(before));
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + " found. Reseting settings to defaults.",
                      "", "The following lines were written/overwritten in the Thunderbird configuration file:", ""},
                     Concat(bed::SplitLines(Crlf(JdoePrefsRewrittenLines(*flags != 0))), {""})),
              WriterLog());
  }
}

// A data file of the tests (tests/thunderbird/...), read through Wine's Z: drive.
std::string TestFile(const std::string& relative) {
  std::string path = "Z:" + std::string(POSTWRIGHT_TESTS_DIR) + "/" + relative;
  for (char& c : path)
    if (c == '/') c = '\\';
  const std::optional<std::string> bytes = bed::ReadBytes(path);
  EXPECT_TRUE(bytes.has_value()) << path;
  return bytes.value_or("");
}

// Accounts as Thunderbird saves them (no port lines, STARTTLS, an SMTP server
// shared with another identity, none named), rewritten with "-u".
TEST_F(ThunderbirdWineTest, RewrittenAccountGetsEveryLineOfANewOneAndSharesNoSmtpServer) {
  for (const char* name : {"plain-pop3", "starttls", "shared-smtp", "no-smtp", "default-shared"}) {
    SCOPED_TRACE(name);
    const std::string folder = std::string("thunderbird/rewrite/") + name + "/";
    bed::Reset();
    SeedProfile(Crlf(TestFile(folder + "before.js")));
    const bed::State before = bed::CaptureState();
    ASSERT_EQ(kConfigured, RunPostwright(std::string(kRun) + " -u"));
    EXPECT_EQ(Crlf(TestFile(folder + "after.js")), bed::ReadBytes(Prefs()).value_or("(missing)"));
    EXPECT_EQ(std::set<std::string>({Prefs() + ": file changed to", bed::LogPath() + ": file created"}),
              Changes(before));
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + " found. Reseting settings to defaults.",
                      "", "The following lines were written/overwritten in the Thunderbird configuration file:", ""},
                     Concat(bed::SplitLines(Crlf(TestFile(folder + "written.txt"))), {""})),
              WriterLog());
  }
}

TEST_F(ThunderbirdWineTest, FoundAccountWithoutOverwriteIsLeftAlone) {
  SeedProfile(Crlf(JdoePrefs()));
  const bed::State before = bed::CaptureState();
  ASSERT_EQ(kFailed, RunPostwright(std::string(kRun) + " -d"));
  EXPECT_EQ(std::set<std::string>({bed::LogPath() + ": file created"}), Changes(before));
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", kSearch + " found. No changes will be made."}),
            WriterLog());
}

TEST_F(ThunderbirdWineTest, PrefsThatCannotBeReplacedStayAsTheyWere) {
  SeedProfile(Crlf(TwoAccountsPrefs()));
  const bed::State before = bed::CaptureState();
  // Another program has prefs.js open and lets nobody delete or move it meanwhile:
  // Windows refuses to replace it (access denied, retried a few times in vain).
  const HANDLE held = CreateFileA(Prefs().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  const DWORD exit_code = RunPostwright(kRun);
  CloseHandle(held);
  const std::set<std::string> changes = Changes(before);
  const Lines log = WriterLog();

  EXPECT_EQ(kFailed, exit_code);
  EXPECT_EQ(std::set<std::string>({bed::LogPath() + ": file created"}), changes);  // no prefs.tmp either
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account.", "",
                   "Replacing " + Prefs() + " failed with error code 5.", ""}),
            log);
}

// An administrator locked the preferences: they are refused, not replaced
// (Wine, unlike Windows, would let the replacement through).
TEST_F(ThunderbirdWineTest, ReadOnlyPrefsAreLeftAsTheyWere) {
  SeedProfile(Crlf(TwoAccountsPrefs()));
  ASSERT_TRUE(SetFileAttributesA(Prefs().c_str(), FILE_ATTRIBUTE_READONLY));
  const bed::State before = bed::CaptureState();
  EXPECT_EQ(kFailed, RunPostwright(kRun));
  EXPECT_EQ(std::set<std::string>({bed::LogPath() + ": file created"}), Changes(before));
  EXPECT_NE(0u, GetFileAttributesA(Prefs().c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "",
                   Prefs() + " is marked read-only; it is left as it is.", ""}),
            WriterLog());
}

}  // namespace
}  // namespace pw
