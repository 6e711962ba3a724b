#include <gtest/gtest.h>

#include <vector>

#include "clients/files/SettingsFile.h"
#include "clients/files/ThunderbirdAccountWriter.h"
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
Lines Report(int account, int identity, int server) {
  Lines lines{"", kHeading, ""};
  for (const std::string& line : SplitLines(CompleteSet(account, identity, server))) lines.push_back(line);
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
    ThunderbirdAccountWriter writer(request, machine.registry, files, machine.environment, machine.clock, log,
                                    kTestProvider);
    const ConfigureResult result = writer.Configure();
    log.Close();
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

TEST(ThunderbirdAccountWriter, UserWithoutThunderbirdDataGetsProfileListFolderAndPrefs) {
  ThunderbirdMachine tb;
  ASSERT_EQ(0, tb.Run(TbRequest(false, false)));

  const std::string profile = kTb + "\\Profiles\\s8eyyog6.default";
  EXPECT_EQ(Lines({kTb + "\\Profiles\\", profile + "\\", profile + "\\prefs.js", kProfilesIni}), tb.Tree());
  EXPECT_EQ(
      "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
      "Path=Profiles/s8eyyog6.default\r\n",
      tb.machine.files.FileBytes(kProfilesIni));
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), tb.machine.files.FileBytes(profile + "\\prefs.js"));
  EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "",
                    "Profile data not found. Creating in user's application data folder ... done.",
                    "Profile directory not found. Creating in user's application data folder ... done.",
                    kSearch + "not found. Creating new account."},
                   Report(2, 1, 2)),
            tb.LogLines());
}

TEST(ThunderbirdAccountWriter, AccountIsAddedToAProfileWithTwoAccounts) {
  for (bool make_default : {false, true}) {
    SCOPED_TRACE(make_default);
    ThunderbirdMachine tb;
    tb.PutProfile(TwoAccountsPrefs());  // LF line ends, as a hand-edited file may have
    ASSERT_EQ(0, tb.Run(TbRequest(make_default, false)));

    EXPECT_EQ(Crlf(TwoAccountsPlusJdoe(make_default ? "account3" : "account1")), tb.machine.files.FileBytes(kPrefs));
    EXPECT_EQ(Lines({kTb + "\\Profiles\\", kProfile + "\\", kPrefs, kProfilesIni}), tb.Tree());
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account."},
                     Report(3, 2, 3)),
              tb.LogLines());
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
    EXPECT_EQ(Concat({"Starting Thunderbird configuration...", "", kSearch + " found. Reseting settings to defaults."},
                     Report(2, 2, 3)),
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

TEST(ThunderbirdAccountWriter, ListWithoutADefaultProfileGetsAFolderNamedNull) {
  ThunderbirdMachine tb;
  tb.machine.files.PutFile(kProfilesIni, "[Profile0]\r\nName=jo\r\nIsRelative=1\r\nPath=Profiles/jo\r\n");
  ASSERT_EQ(0, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({kTb + "\\NULL\\", kTb + "\\NULL\\prefs.js", kTb + "\\Profiles\\", kProfilesIni}), tb.Tree());
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
TEST(ThunderbirdAccountWriter, EveryFailingChangeToAnExistingProfileLeavesItAsItWas) {
  struct Scenario {
    const char* name;
    std::string prefs;
    bool overwrite;
  };
  for (const Scenario& s :
       {Scenario{"add", Crlf(TwoAccountsPrefs()), false}, Scenario{"rewrite", Crlf(JdoePrefs()), true}}) {
    ThunderbirdMachine clean;
    clean.PutProfile(s.prefs);
    ASSERT_EQ(0, clean.Run(TbRequest(true, s.overwrite)));
    const int changes = clean.plan.mutations();
    ASSERT_EQ(5, changes) << s.name;  // create, write, flush, close, replace

    for (int n = 1; n <= changes; ++n) {
      SCOPED_TRACE(std::string(s.name) + " change " + std::to_string(n));
      ThunderbirdMachine tb;
      tb.PutProfile(s.prefs);
      const Lines before = tb.Tree();
      tb.plan.FailNthMutation(n, err::kDiskFull);
      EXPECT_EQ(7, tb.Run(TbRequest(true, s.overwrite)));
      EXPECT_EQ(s.prefs, tb.machine.files.FileBytes(kPrefs));
      EXPECT_EQ(before, tb.Tree());
      const Lines log = tb.LogLines();
      ASSERT_EQ(6u, log.size());
      EXPECT_EQ("", log[3]);
      EXPECT_NE(std::string::npos, log[4].find(" failed with error code 112.")) << log[4];
      EXPECT_EQ("", log[5]);
    }
  }
  ThunderbirdMachine tb;
  tb.PutProfile(Crlf(TwoAccountsPrefs()));
  tb.plan.FailNthMutation(5, err::kDiskFull);
  EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "", kSearch + "not found. Creating new account.", "",
                   "Replacing " + kPrefs + " failed with error code 112.", ""}),
            tb.LogLines());
}

TEST(ThunderbirdAccountWriter, EveryFailingChangeToANewProfileLeavesNoTemporaryFileAndNoPrefs) {
  ThunderbirdMachine clean;
  ASSERT_EQ(0, clean.Run(TbRequest(false, false)));
  const int changes = clean.plan.mutations();
  // Thunderbird folder, the list's five steps, two profile folders, the prefs' five steps.
  ASSERT_EQ(13, changes);
  const std::string prefs = kTb + "\\Profiles\\s8eyyog6.default\\prefs.js";
  for (int n = 1; n <= changes; ++n) {
    SCOPED_TRACE("change " + std::to_string(n));
    ThunderbirdMachine tb;
    tb.plan.FailNthMutation(n, err::kDiskFull);
    EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
    EXPECT_FALSE(tb.machine.files.HasFile(prefs));
    for (const std::string& path : tb.Tree()) EXPECT_EQ(std::string::npos, path.find(".tmp")) << path;
    // The list stands once it was written whole; until then there is none.
    EXPECT_EQ(n > 6, tb.machine.files.HasFile(kProfilesIni));
    if (n > 6) {
      EXPECT_EQ(JoinLines(NewProfilesIni()), tb.machine.files.FileBytes(kProfilesIni));
    }
  }

  ThunderbirdMachine tb;
  tb.plan.FailNthMutation(3, err::kDiskFull);
  EXPECT_EQ(7, tb.Run(TbRequest(false, false)));
  EXPECT_EQ(Lines({"Starting Thunderbird configuration...", "",
                   "Profile data not found. Creating in user's application data folder ... failed.",
                   "Writing " + kTb + "\\profiles.tmp failed with error code 112.", ""}),
            tb.LogLines());
}

}  // namespace
}  // namespace pw
