#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "app/AppPaths.h"
#include "clients/files/ThunderbirdAccountWriter.h"
#include "clients/files/ThunderbirdInstallHash.h"
#include "platform/fault/FaultInjecting.h"
#include "platform/memory/MemoryPlatform.h"
#include "unit/clients/files/ThunderbirdTestSupport.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

const std::string kAppData = "C:\\Users\\jo\\AppData\\Roaming";
const std::string kTb = kAppData + "\\Thunderbird";
const std::string kProfilesIni = kTb + "\\profiles.ini";
const std::string kProfile = kTb + "\\Profiles\\ab12cd34.default";
const std::string kPrefs = kProfile + "\\prefs.js";
const std::string kLogPath = "C:\\Logs\\Postwright.log";
const std::string kSearch = "Searching for existant jdoe@quillset.example account ... ";
const std::string kHeading = "The following lines were written/overwritten in the Thunderbird configuration file:";

std::string ProfileList(const std::string& path_line, const std::string& is_relative = "IsRelative=1") {
  return "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\n" + is_relative + "\r\n" +
         path_line + "\r\n";
}

// The run log's lines for a run that wrote the account with these numbers.
Lines Report(int account, int identity, int server, int smtp = 1) {
  Lines lines{"", kHeading, ""};
  for (const std::string& line : SplitLines(CompleteSet(account, identity, server, smtp))) lines.push_back(line);
  lines.push_back("");
  return lines;
}

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ThunderbirdMachine {
 public:
  ThunderbirdMachine() {
    machine.files.PutFolder(kAppData);
    machine.files.PutFolder("C:\\Logs");
    machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
  }

  // An existing default profile "Profiles/ab12cd34.default" holding `prefs`.
  void PutProfile(const std::string& prefs) {
    machine.files.PutFile(kProfilesIni, ProfileList("Path=Profiles/ab12cd34.default"));
    machine.files.PutFile(kPrefs, prefs);
  }

  ConfigureResult Run(const AccountRequest& request) {
    RunLog log;
    EXPECT_EQ(err::kSuccess, log.Open(machine.files, machine.clock, kLogPath));
    FaultInjectingFileSystem files(machine.files, plan);
    ThunderbirdAccountWriter writer(request, "thunderbird.exe", machine.registry, files, machine.environment, machine.clock, log,
                                    kTestProvider);
    const ConfigureResult result = writer.Configure();
    log.Close();
    // What a run wrote evaluates as JavaScript; what it refused may not.
    if (result != result::kConfigured) return result;
    for (const char* drive : {"C:\\", "D:\\"})
      for (const std::string& path : machine.files.Tree(drive))
        if (path.size() > 9 && path.compare(path.size() - 9, 9, "\\prefs.js") == 0)
          KeepPrefs(machine.files.FileBytes(path));
    return result;
  }

  Lines LogLines() const { return SplitLines(machine.files.FileBytes(kLogPath)); }
  Lines Tree() const { return machine.files.Tree(kTb); }

  MemoryPlatform machine;
  FaultPlan plan;
};

// For a user who never ran Thunderbird: the list, the profile and its prefs.js;
// the list and installs.ini name the profile for the installation App Paths
// registers (a current Thunderbird opens no other), unless it is not known.
TEST(ThunderbirdAccountWriter, UserWithoutThunderbirdDataGetsProfileListFolderAndPrefs) {
  const std::string folder = "C:\\Program Files\\Mozilla Thunderbird";
  const std::string hash = ThunderbirdInstallHash(folder);
  const std::string list = "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                           "Path=Profiles/s8eyyog6.default\r\n";
  const std::string section = "Default=Profiles/s8eyyog6.default\r\nLocked=1\r\n";
  const std::string installs = kTb + "\\installs.ini";
  const struct {
    const char* name;
    std::string app_path;   // none when empty
    std::string installs;   // an installs.ini there before, none when empty
    std::string list_after, installs_after;
    std::string line;       // what the log says of the installation
  } kCases[] = {
      {"registered, quoted", "\"" + folder + "\\thunderbird.exe\"", "", list + "\r\n[Install" + hash + "]\r\n" + section,
       "[" + hash + "]\r\n" + section,
       "The profile is named for the installation in " + folder + " (Install" + hash + ")."},
      {"an installs.ini of the client's own is left", folder + "\\thunderbird.exe", "[X]\r\n",
       list + "\r\n[Install" + hash + "]\r\n" + section, "[X]\r\n",
       "The profile is named for the installation in " + folder + " (Install" + hash + "); " + installs +
           " is left as it is."},
      {"not registered", "", "", list, "",
       "The folder Thunderbird is installed in is not known, so no profile is named for its installation: a current "
       "Thunderbird makes a profile of its own on its first start."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ThunderbirdMachine tb;
    if (!c.app_path.empty())
      tb.machine.registry.PutText(RegRoot::kLocalMachine, AppPathsKey(std::string("thunderbird.exe")), "",
                                  c.app_path);
    if (!c.installs.empty()) tb.machine.files.PutFile(installs, c.installs);
    ASSERT_EQ(0, tb.Run(TbRequest(false, false)));

    const std::string profile = kTb + "\\Profiles\\s8eyyog6.default";
    Lines tree = {kTb + "\\Profiles\\", profile + "\\", profile + "\\prefs.js", kProfilesIni};
    if (!c.installs_after.empty()) tree.insert(tree.end() - 1, installs);
    EXPECT_EQ(tree, tb.Tree());
    EXPECT_EQ(c.list_after, tb.machine.files.FileBytes(kProfilesIni));
    EXPECT_EQ(c.installs_after, tb.machine.files.FileBytes(installs));
    EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), tb.machine.files.FileBytes(profile + "\\prefs.js"));
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "",
                      "Profile data not found. Creating in user's application data folder ... done.", c.line,
                      "Profile directory not found. Creating in user's application data folder ... done.",
                      kSearch + "not found. Creating new account."},
                     Report(2, 1, 2)),
              tb.LogLines());
  }
}

// The lines of a "\n" text with the line ends given in turn; the last one
// may go.
std::string WithLineEnds(const std::string& text, const Lines& ends, bool last_end = true) {
  std::string bytes;
  size_t n = 0;
  for (const std::string& line : SplitLines(text)) bytes += line + ends[n++ % ends.size()];
  if (!last_end) bytes.resize(bytes.find_last_not_of("\r\n") + 1);
  return bytes;
}

TEST(ThunderbirdAccountWriter, AccountIsAddedToAProfileWithTwoAccountsWhateverItsLineEnds) {
  const struct {
    const char* name;
    std::string prefs;
  } cases[] = {
      {"LF", TwoAccountsPrefs()},
      {"CR LF", Crlf(TwoAccountsPrefs())},
      {"CR", WithLineEnds(TwoAccountsPrefs(), {"\r"})},
      {"mixed, none after the last line", WithLineEnds(TwoAccountsPrefs(), {"\r\n", "\n", "\r"}, false)},
  };
  for (const auto& c : cases) {
    for (bool make_default : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (make_default ? ", made default" : ""));
      ThunderbirdMachine tb;
      tb.PutProfile(c.prefs);
      ASSERT_EQ(0, tb.Run(TbRequest(make_default, false)));

      EXPECT_EQ(Crlf(TwoAccountsPlusJdoe(make_default ? "account3" : "account1")),
                tb.machine.files.FileBytes(kPrefs));
      EXPECT_EQ(Lines({kTb + "\\Profiles\\", kProfile + "\\", kPrefs, kProfilesIni}), tb.Tree());
      EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account."},
                       Report(3, 2, 3, 2)),
                tb.LogLines());
    }
  }
}

TEST(ThunderbirdAccountWriter, FoundAccountIsRewrittenWithItsOwnNumbers) {
  for (bool make_default : {false, true}) {
    SCOPED_TRACE(make_default);
    ThunderbirdMachine tb;
    tb.PutProfile(Crlf(JdoePrefs()));
    ASSERT_EQ(0, tb.Run(TbRequest(make_default, true)));

    EXPECT_EQ(Crlf(JdoePrefsRewritten(make_default ? "account2" : "account1")), tb.machine.files.FileBytes(kPrefs));
    EXPECT_EQ(Lines({kTb + "\\Profiles\\", kProfile + "\\", kPrefs, kProfilesIni}), tb.Tree());
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + " found. Reseting settings to defaults.",
                      "", kHeading, ""},
                     Concat(SplitLines(JdoePrefsRewrittenLines(make_default)), {""})),
              tb.LogLines());
  }
}

std::string TestFile(const std::string& relative) {
  std::ifstream in(std::string(POSTWRIGHT_TESTS_DIR) + "/" + relative, std::ios::binary);
  EXPECT_TRUE(in.good()) << relative;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Accounts as Thunderbird saves them, rewritten with "-u": each case of
// tests/thunderbird/rewrite holds before.js and after.js (the profile holds
// them with CR LF) and written.txt, the lines the run log lists.
TEST(ThunderbirdAccountWriter, RewrittenAccountGetsEveryLineOfANewOneAndSharesNoSmtpServer) {
  for (const char* name : {"plain-pop3", "starttls", "shared-smtp", "no-smtp", "default-shared"}) {
    SCOPED_TRACE(name);
    const std::string folder = std::string("thunderbird/rewrite/") + name + "/";
    ThunderbirdMachine tb;
    tb.PutProfile(Crlf(TestFile(folder + "before.js")));
    ASSERT_EQ(0, tb.Run(TbRequest(false, true)));
    EXPECT_EQ(Crlf(TestFile(folder + "after.js")), tb.machine.files.FileBytes(kPrefs));
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + " found. Reseting settings to defaults.",
                      "", kHeading, ""},
                     Concat(SplitLines(TestFile(folder + "written.txt")), {""})),
              tb.LogLines());
  }
}

TEST(ThunderbirdAccountWriter, FoundAccountWithoutOverwriteChangesNothing) {
  ThunderbirdMachine tb;
  tb.PutProfile(Crlf(JdoePrefs()));
  const Lines before = tb.Tree();
  EXPECT_EQ(5, tb.Run(TbRequest(true, false)));
  EXPECT_EQ(Crlf(JdoePrefs()), tb.machine.files.FileBytes(kPrefs));
  EXPECT_EQ(before, tb.Tree());  // no prefs.tmp either
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", kSearch + " found. No changes will be made."}),
            tb.LogLines());
}

TEST(ThunderbirdAccountWriter, QuotedNamesAndAddressesAreEscapedAndFoundAgain) {
  ThunderbirdMachine tb;
  tb.PutProfile("");  // an empty prefs.js gets a whole first account
  const AccountRequest odd{"jo\"e@quillset.example", "Jo \"JD\" Doe", false, false};
  ASSERT_EQ(0, tb.Run(odd));
  const Lines prefs = SplitLines(tb.machine.files.FileBytes(kPrefs));
  ASSERT_EQ(24u, prefs.size());
  EXPECT_EQ(R"(user_pref("mail.identity.id1.fullName", "Jo \"JD\" Doe");)", prefs[4]);
  EXPECT_EQ(R"(user_pref("mail.identity.id1.useremail", "jo\"e@quillset.example");)", prefs[14]);
  const Lines log = tb.LogLines();
  EXPECT_EQ("Searching for existant jo\"e@quillset.example account ... not found. Creating new account.", log[2]);
  EXPECT_EQ(R"(user_pref("mail.identity.id1.fullName", "Jo \"JD\" Doe");)", log[10]);

  const std::string written = tb.machine.files.FileBytes(kPrefs);
  EXPECT_EQ(5, tb.Run(odd));
  EXPECT_EQ(written, tb.machine.files.FileBytes(kPrefs));
}

TEST(ThunderbirdAccountWriter, ProfileFoldersAreCreatedLevelByLevel) {
  ThunderbirdMachine tb;
  tb.machine.files.PutFile(kProfilesIni, ProfileList("Path=Profiles/deep/er.default"));
  ASSERT_EQ(0, tb.Run(TbRequest(false, false)));
  const std::string folder = kTb + "\\Profiles\\deep\\er.default";
  EXPECT_EQ(
      Lines({kTb + "\\Profiles\\", kTb + "\\Profiles\\deep\\", folder + "\\", folder + "\\prefs.js", kProfilesIni}),
      tb.Tree());
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), tb.machine.files.FileBytes(folder + "\\prefs.js"));
  EXPECT_EQ("Profile directory not found. Creating in user's application data folder ... done.", tb.LogLines()[2]);
}

TEST(ThunderbirdAccountWriter, AbsoluteProfilePathIsUsedAsItStands) {
  ThunderbirdMachine tb;
  tb.machine.files.PutFolder("D:\\");
  tb.machine.files.PutFile(kProfilesIni, ProfileList("Path=D:\\Mail\\Jo", "IsRelative=0"));
  ASSERT_EQ(0, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), tb.machine.files.FileBytes("D:\\Mail\\Jo\\prefs.js"));
  EXPECT_EQ(Lines({"D:\\Mail\\", "D:\\Mail\\Jo\\", "D:\\Mail\\Jo\\prefs.js"}), tb.machine.files.Tree("D:\\"));
  EXPECT_EQ(Lines({kProfilesIni}), tb.Tree());
}

TEST(ThunderbirdAccountWriter, TheProfileOfTheInstallSectionGetsTheAccount) {
  // As a fresh start of a current Thunderbird leaves it: an unused profile
  // "default", marked Default=1, and the one it really opens.
  ThunderbirdMachine tb;
  const std::string list =
      "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/s.default\r\nDefault=1\r\n\r\n"
      "[InstallFDC34C9F024745EB]\r\nDefault=Profiles/x.default-release\r\nLocked=1\r\n\r\n"
      "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/x.default-release\r\n";
  tb.machine.files.PutFile(kProfilesIni, list);
  tb.machine.files.PutFile(kTb + "\\Profiles\\s.default\\prefs.js", "// unused\r\n");
  tb.machine.files.PutFile(kTb + "\\Profiles\\x.default-release\\prefs.js", Crlf(TwoAccountsPrefs()));
  ASSERT_EQ(0, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account1")),
            tb.machine.files.FileBytes(kTb + "\\Profiles\\x.default-release\\prefs.js"));
  EXPECT_EQ("// unused\r\n", tb.machine.files.FileBytes(kTb + "\\Profiles\\s.default\\prefs.js"));
  EXPECT_EQ(list, tb.machine.files.FileBytes(kProfilesIni));

  // Where profiles stand in the Thunderbird folder itself, no Profiles folder is made.
  ThunderbirdMachine linux_like;
  linux_like.machine.files.PutFile(kProfilesIni, "[InstallFDC34C9F024745EB]\nDefault=o2dta244.default-default\n");
  ASSERT_EQ(0, linux_like.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({kTb + "\\o2dta244.default-default\\", kTb + "\\o2dta244.default-default\\prefs.js", kProfilesIni}),
            linux_like.Tree());
}

// Files that cannot be rewritten safely, and a list that chooses no profile.
TEST(ThunderbirdAccountWriter, WhatCannotBeWrittenSafelyIsRefusedAndLeftAsItWas) {
  const std::string list = ProfileList("Path=Profiles/ab12cd34.default");
  const struct {
    const char* name;
    std::string list;
    std::string prefs;
    std::string read_only;  // the file marked read-only, if any
    std::string refusal;
  } cases[] = {
      {"UTF-16 LE prefs.js", list, std::string("\xff\xfe/\0/\0\r\0\n\0", 8), "",
       kPrefs + " is UTF-16 text; it is left as it is."},
      {"UTF-16 BE prefs.js", list, std::string("\xfe\xff\0/\0/", 6), "",
       kPrefs + " is UTF-16 text; it is left as it is."},
      {"read-only prefs.js", list, Crlf(TwoAccountsPrefs()), kPrefs,
       kPrefs + " is marked read-only; it is left as it is."},
      {"read-only profiles.ini", list, Crlf(TwoAccountsPrefs()), kProfilesIni,
       kProfilesIni + " is marked read-only; it is left as it is."},
      {"several profiles, none chosen",
       "[Profile0]\r\nName=jo\r\nPath=Profiles/ab12cd34.default\r\n[Profile1]\r\nName=work\r\nPath=Profiles/w\r\n",
       Crlf(TwoAccountsPrefs()), "", "No default profile was found in " + kProfilesIni + "."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ThunderbirdMachine tb;
    tb.machine.files.PutFile(kProfilesIni, c.list);
    tb.machine.files.PutFile(kPrefs, c.prefs);
    if (!c.read_only.empty()) tb.machine.files.SetReadOnly(c.read_only);
    const Lines before = tb.Tree();
    EXPECT_EQ(7, tb.Run(TbRequest(true, true)));
    EXPECT_EQ(c.list, tb.machine.files.FileBytes(kProfilesIni));
    EXPECT_EQ(c.prefs, tb.machine.files.FileBytes(kPrefs));
    EXPECT_EQ(before, tb.Tree());
    EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", c.refusal, ""}), tb.LogLines());
  }
}

TEST(ThunderbirdAccountWriter, ApplicationDataFolderComesFromTheRegistryElseTheShell) {
  {
    ThunderbirdMachine tb;
    tb.machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", "");
    tb.machine.environment.SetShellAppData(kAppData);
    ASSERT_EQ(0, tb.Run(TbRequest(false, false)));
    EXPECT_TRUE(tb.machine.files.HasFile(kTb + "\\Profiles\\s8eyyog6.default\\prefs.js"));
  }
  {
    // Neither knows it: nothing is written below the root of the drive.
    ThunderbirdMachine tb;
    tb.machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", std::string(301, 'x'));
    EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
    EXPECT_FALSE(tb.machine.files.HasFolder("C:\\Thunderbird"));
    EXPECT_FALSE(tb.machine.files.HasFolder(kTb));
    EXPECT_EQ(
        Lines({"Starting Thunderbird configuration...", "", "The user's application data folder is not known.", ""}),
        tb.LogLines());
  }
}

TEST(ThunderbirdAccountWriter, UnreadableFilesAreNeitherRecreatedNorReplaced) {
  for (const std::string& path : {kProfilesIni, kPrefs}) {
    SCOPED_TRACE(path);
    ThunderbirdMachine tb;
    tb.PutProfile(Crlf(TwoAccountsPrefs()));
    const std::string list = tb.machine.files.FileBytes(kProfilesIni);
    tb.plan.FailPath(path, err::kSharingViolation);
    EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
    EXPECT_EQ(list, tb.machine.files.FileBytes(kProfilesIni));
    EXPECT_EQ(Crlf(TwoAccountsPrefs()), tb.machine.files.FileBytes(kPrefs));
    EXPECT_EQ(
        Lines({"Starting Thunderbird configuration...", "", "Reading " + path + " failed with error code 32.", ""}),
        tb.LogLines());
  }
}

// Every change the writer makes, made to fail in turn.
// Every failure point is walked by the fault walk; here, what the log says of one.
TEST(ThunderbirdAccountWriter, FailedReplaceIsLoggedAndLeavesThePrefs) {
  ThunderbirdMachine tb;
  tb.PutProfile(Crlf(TwoAccountsPrefs()));
  const Lines before = tb.Tree();
  tb.plan.FailNthMutation(5, err::kDiskFull);
  EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Crlf(TwoAccountsPrefs()), tb.machine.files.FileBytes(kPrefs));
  EXPECT_EQ(before, tb.Tree());
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account.", "",
                   "Replacing " + kPrefs + " failed with error code 112.", ""}),
            tb.LogLines());
}

// What the log says when the new profile cannot be made; the fault walk
// walks every other failure point and finds nothing left behind.
TEST(ThunderbirdAccountWriter, NewProfileThatCannotBeMadeIsLogged) {
  ThunderbirdMachine tb;
  tb.plan.FailNthMutation(3, err::kDiskFull);
  EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "",
                   "Profile data not found. Creating in user's application data folder ... failed.",
                   "Writing " + kTb + "\\profiles.tmp failed with error code 112.", ""}),
            tb.LogLines());

  ThunderbirdMachine folder;
  folder.plan.FailNthMutation(7, err::kAccessDenied);
  EXPECT_EQ(7, folder.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "",
                   "Profile data not found. Creating in user's application data folder ... done.",
                   "The folder Thunderbird is installed in is not known, so no profile is named for its "
                   "installation: a current Thunderbird makes a profile of its own on its first start.",
                   "Profile directory not found. Creating in user's application data folder ... failed.",
                   "Creating " + kTb + "\\Profiles failed with error code 5.", ""}),
            folder.LogLines());
}

// A list that names a profile whose folder is missing: the folders made for it go again.
TEST(ThunderbirdAccountWriter, AFailingSaveRemovesTheProfileFoldersItMade) {
  ThunderbirdMachine tb;
  tb.machine.files.PutFile(kProfilesIni, ProfileList("Path=Profiles/deep/er.default"));
  tb.plan.FailPath(kTb + "\\Profiles\\deep\\er.default\\prefs.tmp", err::kDiskFull);
  EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({kProfilesIni}), tb.Tree());
}

}  // namespace
}  // namespace pw
