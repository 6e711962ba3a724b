#include "ui/ConfigDlg.h"

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "DialogTestBed.h"
#include "app/CommandLine.h"
#include "ui/ClientTexts.h"
#include "ui/MailClients.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

Lines Header(bool command_line) {
  return {"Postwright - Quillset Log",
          "-------------------------------------------",
          "",
          std::string(command_line ? "* Beginning Configuration (command line) at " : "* Beginning Configuration at ") +
              kStamp + " *",
          ""};
}

Lines NothingInstalled() {
  return {"Searching for Mozilla Thunderbird ... not detected.",
          "Searching for Qualcomm Eudora ... not detected.",
          "Searching for Microsoft Outlook Express ... not detected.",
          "Searching for Microsoft Windows Mail ... not detected.",
          "Searching for Microsoft Outlook ... not detected.",
          ""};
}

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(ConfigRun, ExplicitRunWithAnUnknownClientFailsWithMinusOne) {
  DialogTestBed bed;
  EXPECT_EQ(1, bed.Run("-n \"Jo Doe\" -c 7 -a jdoe"));
  EXPECT_EQ(Join({Header(true), NothingInstalled(),
                  {"Detecting default e-mail client ... done.", "",
                   "User Entered E-Mail Address: jdoe@quillset.example", "User Entered Display Name: Jo Doe",
                   "Make Account Default: No", "Overwrite Existing Account: No",
                   "Email Client Configuration failed with error code: -1",
                   "Description: ERROR: There is no mail client number 7; the numbers are 0 (Microsoft Outlook "
                   "Express), 1 (Microsoft Outlook), 2 (Microsoft Windows Mail), 3 (Qualcomm Eudora) or 4 (Mozilla "
                   "Thunderbird).",
                   std::string("* Configuration Failed at ") + kStamp + " *", ""}}),
            bed.LogLines());
  EXPECT_FALSE(bed.log.IsOpen());
  EXPECT_TRUE(bed.host.runs().empty()) << "a command-line run never opens a window";
}

TEST(ConfigRun, FlagsReachTheRequestLines) {
  DialogTestBed bed;
  EXPECT_EQ(1, bed.Run("-d -u -n \"Ann -Lee\" -c 9 -a ann"));
  const Lines lines = bed.LogLines();
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "User Entered Display Name: Ann -Lee"));
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Make Account Default: Yes"));
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Overwrite Existing Account: Yes"));
}

TEST(ConfigRun, MissingOptionOrRefusedUserNameWritesNothingButOneLine) {
  const std::string refused = "Postwright: the user name given with -a holds a backslash.\n";
  const struct {
    const char* line;
    std::string error;
  } kCases[] = {
      {"-auto", kUsageLine},          {"-auto -s \"x\"", kUsageLine},
      {"-n \"Jo\" -c 1", kUsageLine}, {"-c 1 -a jdoe", kUsageLine},
      {"-n \"Jo\" -a jdoe", kUsageLine}, {"-n \"Jo\" -c 0 -a a\\b -u", refused},
  };
  for (const auto& c : kCases) {
    DialogTestBed bed;
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    bed.machine.registry.PutKey(RegRoot::kCurrentUser, accounts);
    EXPECT_EQ(2, bed.Run(c.line)) << c.line;
    EXPECT_EQ(c.error, bed.machine.std_out.err) << c.line;
    EXPECT_FALSE(bed.machine.files.HasFile(kLogPath)) << c.line;
    EXPECT_FALSE(bed.machine.registry.HasKey(RegRoot::kCurrentUser, accounts + "\\a")) << c.line;
    EXPECT_TRUE(bed.host.runs().empty());
  }
}

// A deployment job left at its defaults runs the program as the system
// account: every mode is refused before the log, a store or a client is touched.
TEST(ConfigRun, RunAsLocalSystemIsRefusedWithNothingTouched) {
  for (const char* line : {"-n \"Jo\" -c 0 -a jdoe -d", "-auto -p \"QS \" -x", "", "-c 1"}) {
    DialogTestBed bed;
    bed.machine.environment.SetLocalSystem(true);
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    bed.machine.registry.PutKey(RegRoot::kCurrentUser, accounts);
    const uint32_t client = bed.machine.processes.Add("msimn.exe");
    EXPECT_EQ(2, bed.Run(line)) << line;
    EXPECT_EQ("Postwright: refused to run as LocalSystem, whose mail settings no user sees; run it as the "
              "logged-on user\n",
              bed.machine.std_out.err)
        << line;
    EXPECT_EQ("", bed.machine.std_out.out) << line;
    EXPECT_FALSE(bed.machine.files.HasFile(kLogPath)) << line;
    RegKeyPtr key;
    uint32_t subkeys = 1;
    ASSERT_EQ(err::kSuccess, bed.machine.registry.OpenKey(RegRoot::kCurrentUser, accounts, RegAccess::kRead, &key));
    ASSERT_EQ(err::kSuccess, key->CountSubkeys(&subkeys));
    EXPECT_EQ(0u, subkeys) << line;
    EXPECT_TRUE(bed.machine.processes.Running(client)) << line;
    EXPECT_TRUE(bed.host.runs().empty()) << line;
  }
}

TEST(ConfigRun, TwoRunsLeaveTwoRecords) {
  DialogTestBed bed;
  bed.Run("-n \"Jo\" -c 7 -a jdoe");
  const std::string first = bed.Log();
  bed.Run("-n \"Jo\" -c 8 -a jdoe");
  const std::string both = bed.Log();
  ASSERT_EQ(first, both.substr(0, first.size()));
  EXPECT_EQ("Postwright - Quillset Log\r\n", both.substr(first.size(), 27));
  EXPECT_EQ(2 * first.size(), both.size() - 0) << "the same run twice gives the same record twice";
}

TEST(ConfigRun, LogFallsBackToTheShellFolderAndOtherwiseIsDropped) {
  DialogTestBed bed;
  bed.machine.registry.Put(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", regtype::kSz,
                           std::string(301, 'x'));  // longer than the program reads
  bed.machine.environment.SetShellAppData("C:\\Shell");
  bed.machine.files.PutFolder("C:\\Shell");
  EXPECT_EQ(1, bed.Run("-n \"Jo\" -c 7 -a jdoe"));
  EXPECT_TRUE(bed.machine.files.HasFile("C:\\Shell\\Postwright.log"));

  DialogTestBed none;
  none.machine.registry.Put(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", regtype::kSz, "");
  none.machine.files.PutFolder("C:\\Users");
  none.machine.registry.DenyAccess(RegRoot::kCurrentUser, "Volatile Environment");
  EXPECT_EQ(1, none.Run("-n \"Jo\" -c 7 -a jdoe")) << "the run goes on without a log";
  EXPECT_FALSE(none.machine.files.HasFile(kLogPath));
  EXPECT_EQ(" (log: none)\n", none.machine.std_out.err.substr(none.machine.std_out.err.size() - 13));
}

TEST(ConfigRun, RunningClientStopsCommandLineRun) {
  DialogTestBed bed;
  bed.detection.running = RunningClients::kStop;
  EXPECT_EQ(3, bed.Run("-n \"Jo\" -c 0 -a jdoe"));
  EXPECT_FALSE(bed.detection.asked_to_close) << "-x belongs to automatic mode";
  EXPECT_EQ(std::string("Postwright: Running Email Client Detected. Closing. (log: ") + kLogPath + ")\n",
            bed.machine.std_out.err);
  EXPECT_EQ(Join({Header(true), NothingInstalled(),
                  {"Running Email Client Detected. Closing.", "",
                   std::string("* Configuration Incomplete. Terminated automatically at ") + kStamp + " *", ""}}),
            bed.LogLines());

  DialogTestBed automatic;
  automatic.detection.running_lines = {"Running Email Client Detected: OUTLOOK.EXE. Closed."};
  automatic.Run("-auto -p \"QS \" -x");
  EXPECT_TRUE(automatic.detection.asked_to_close);
  EXPECT_EQ("Running Email Client Detected: OUTLOOK.EXE. Closed.", automatic.LogLines()[11]);
}

TEST(ConfigRun, AutomaticModeWithoutSupportedDefaultClient) {
  DialogTestBed bed;
  EXPECT_EQ(1, bed.Run("-auto -p \"QS \" -s \"jo@example.com\""));
  EXPECT_EQ(Join({Header(true), NothingInstalled(),
                  {"Detecting default e-mail client ... done.", "",
                   "Automatically Configuring from default email client's default account.",
                   "Email Client Configuration failed with error : unsupportedDef",
                   "Description: The system's default email client is not supported by Postwright.",
                   std::string("* Configuration Failed at ") + kStamp + " *", ""}}),
            bed.LogLines());
}

// Automatic runs against Outlook Express: the lookup's lines, then the
// outcome, for the default account, a missing default and a search that finds
// nothing.
TEST(ConfigRun, AutomaticModeLooksUpTheAccountThenRewritesIt) {
  const std::string manager = "Software\\Microsoft\\Internet Account Manager";
  const std::string failed = std::string("* Configuration Failed at ") + kStamp + " *";
  const struct {
    const char* command_line;
    bool default_set;
    int exit_status;
    Lines lines;  // from "Automatically Configuring ..." up to the writer's first line
  } kCases[] = {
      {"-auto -p \"QS-\" -u", true, 0,
       {"GetDefAcct Test Result: 0", "Result: 00000002", "GetAcctAddr Test Result: 0", "Result: jdoe@example.org",
        "Default E-Mail Address: jdoe@example.org", "Default Display Name: Jo Doe", "Make Account Default: No",
        "Overwrite Existing Account: Yes", "Client Selected to Configure: Microsoft Outlook Express", "",
        "Starting Outlook Express configuration..."}},
      {"-auto -p \"QS-\"", false, 1,
       {"GetDefAcct Test Result: 0", "Result: *ERROR*", "GetAcctAddr Test Result: 2",
        "Email Client Configuration failed with error : defaultDNE",
        "Description: The system's default email client's default account no longer exists.", failed, ""}},
      {"-auto -p \"QS-\" -s \"nobody\"", true, 1,
       {"Searching for existant  account ... GetAcctAddr Test Result: 2",
        "Email Client Configuration failed with error : noDefault",
        "Description: The system's default email client's default account could not be identified using your "
        "search criteria.",
        failed, ""}},
  };
  for (const auto& c : kCases) {
    DialogTestBed bed;
    bed.detection.default_client = 1;
    bed.machine.registry.PutText(RegRoot::kCurrentUser, manager + "\\Accounts\\00000002", "SMTP Email Address",
                                 "jdoe@example.org");
    bed.machine.registry.PutText(RegRoot::kCurrentUser, manager + "\\Accounts\\00000002", "SMTP Display Name",
                                 "Jo Doe");
    if (c.default_set) bed.machine.registry.PutText(RegRoot::kCurrentUser, manager, "Default Mail Account", "00000002");
    EXPECT_EQ(c.exit_status, bed.Run(c.command_line)) << c.command_line;
    const Lines lines = bed.LogLines();
    ASSERT_GE(lines.size(), 14 + c.lines.size()) << c.command_line;
    EXPECT_EQ("Automatically Configuring from default email client's default account.", lines[13]);
    EXPECT_EQ(c.lines, Lines(lines.begin() + 14, lines.begin() + 14 + c.lines.size())) << c.command_line;
    EXPECT_EQ(c.exit_status == 0,
              bed.machine.registry.HasKey(RegRoot::kCurrentUser, manager + "\\Accounts\\QS-jdoe@example.org"));
    if (c.exit_status != 0) {
      EXPECT_EQ("Postwright: " + c.lines[c.lines.size() - 3].substr(13) + " (log: " + kLogPath + ")\n",
                bed.machine.std_out.err);
    }
  }
}

// An address read from the client's store that is not plain text never
// becomes a key name: the run fails with its own error.
TEST(ConfigRun, AutomaticModeRefusesAnUnusableStoredAddress) {
  const std::string manager = "Software\\Microsoft\\Internet Account Manager";
  const struct {
    uint32_t type;
    std::string bytes;
    const char* fault;
  } kCases[] = {
      {regtype::kSz, std::string(1, '\0'), "is empty"},
      {regtype::kSz, std::string("..\\Accounts\\jdoe@example.org") + '\0', "holds a backslash"},
      {regtype::kSz, "jdoe@example.org\r\nx", "holds a control character"},
      {regtype::kDword, RegDwordBytes(0x6f6a6f6a), "is empty"},  // not text: reads as none
  };
  for (const auto& c : kCases) {
    DialogTestBed bed;
    bed.detection.default_client = 1;
    bed.machine.registry.Put(RegRoot::kCurrentUser, manager + "\\Accounts\\00000002", "SMTP Email Address", c.type,
                             c.bytes);
    bed.machine.registry.PutText(RegRoot::kCurrentUser, manager, "Default Mail Account", "00000002");
    EXPECT_EQ(1, bed.Run("-auto -p \"QS-\" -u")) << c.fault;
    const Lines lines = bed.LogLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ((Lines{"Email Client Configuration failed with error : unusableAddr",
                     std::string("Description: The e-mail address of the system's default email client's default "
                                 "account ") +
                         c.fault + ", so it cannot be rewritten.",
                     std::string("* Configuration Failed at ") + kStamp + " *", ""}),
              Lines(lines.end() - 4, lines.end()))
        << c.fault;
    RegKeyPtr accounts;
    uint32_t count = 0;
    ASSERT_EQ(err::kSuccess,
              bed.machine.registry.OpenKey(RegRoot::kCurrentUser, manager + "\\Accounts", RegAccess::kRead, &accounts));
    ASSERT_EQ(err::kSuccess, accounts->CountSubkeys(&count));
    EXPECT_EQ(1u, count) << "no account was made";
  }
}

TEST(ConfigRun, OutlookVersionIsLoggedWithABlankLine) {
  DialogTestBed bed;
  bed.detection.Install(ClientKind::kOutlook);
  bed.detection.outlook_version = 11;
  bed.Run("-n \"Jo\" -c 7 -a jdoe");
  const Lines lines = bed.LogLines();
  EXPECT_EQ("Searching for Microsoft Outlook ... found. (Version 11)", lines[9]);
  EXPECT_EQ("", lines[10]);
}

// The Outlook row picks its writer by the version detection found: Outlook
// 2000's for 9 and below and for an unknown version, else the profile writer.
TEST(ConfigRun, OutlookWriterFollowsTheDetectedVersion) {
  const struct {
    int version;
    int exit_status;
    const char* writer_line;
  } kCases[] = {
      {9, 0, "Default Mail Profile is : "},
      {-1, 0, "Default Mail Profile is : "},
      {10, 0, "Starting Outlook configuration..."},
      {12, 0, "Starting Outlook configuration..."},
  };
  for (const auto& c : kCases) {
    DialogTestBed bed;
    bed.detection.Install(ClientKind::kOutlook);
    bed.detection.outlook_version = c.version;
    const std::string profiles =
        "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
    bed.machine.registry.PutText(RegRoot::kCurrentUser, profiles, "DefaultProfile", "Main");
    bed.machine.registry.PutKey(RegRoot::kCurrentUser, profiles + "\\Main\\9375CFF0413111d3B88A00104B2A6676");
    EXPECT_EQ(c.exit_status, bed.Run("-n \"Jo\" -c 1 -a jdoe")) << c.version;
    const Lines lines = bed.LogLines();
    ASSERT_LT(19u, lines.size());
    EXPECT_EQ("Client Selected to Configure: Microsoft Outlook", lines[17]);
    EXPECT_EQ(c.writer_line, lines[19]) << c.version;
  }
}

// Interactive runs: the dialog with its (headless) window.

struct Interactive : ::testing::Test {
  int RunDialog(HeadlessHost::Script script) {
    bed.host.OnRun(IDD_CONFIG_DIALOG, std::move(script));
    return bed.Run("");
  }
  DialogTestBed bed;
};

TEST_F(Interactive, SaveIsEnabledOnlyWithBothNamesAndAClient) {
  bed.detection.Install(ClientKind::kOutlookExpress);
  bed.detection.default_client = 1;
  RunDialog([](CDialog& dialog, HeadlessSurface& s) {
    DialogDriver user(dialog, s);
    EXPECT_EQ(kChecked, s.CheckState(IDC_CLIENT_OE)) << "the default client is preselected";
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE)) << "nothing typed yet";
    user.Type(IDC_DISPLAY_NAME, "Jo Doe");
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE));
    user.Type(IDC_USER_NAME, "jdoe");
    EXPECT_TRUE(s.IsEnabled(IDC_SAVE));
    // A user name that cannot make an address keeps Save disabled.
    for (const char* refused : {"jo@doe", "a\\b", "a/b", "a\"b", "jo doe", "jo\x01", " "}) {
      user.Type(IDC_USER_NAME, refused);
      EXPECT_FALSE(s.IsEnabled(IDC_SAVE)) << refused;
      user.Type(IDC_USER_NAME, "jdoe");
      EXPECT_TRUE(s.IsEnabled(IDC_SAVE));
    }
    user.Type(IDC_DISPLAY_NAME, "");
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE));
  });

  DialogTestBed no_default;
  no_default.host.OnRun(IDD_CONFIG_DIALOG, [](CDialog& dialog, HeadlessSurface& s) {
    DialogDriver user(dialog, s);
    user.Type(IDC_DISPLAY_NAME, "Jo Doe");
    user.Type(IDC_USER_NAME, "jdoe");
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE)) << "no client chosen";
    user.ChooseRadio(kRadios, IDC_CLIENT_THUNDERBIRD);
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE)) << "Thunderbird is not installed, its button does nothing";
  });
  no_default.Run("");
}

TEST_F(Interactive, EudoraDisablesMakeDefaultButKeepsItsCheck) {
  for (int i = 0; i < 5; ++i) bed.detection.installed[i] = true;
  RunDialog([](CDialog& dialog, HeadlessSurface& s) {
    DialogDriver user(dialog, s);
    user.Toggle(IDC_MAKE_DEFAULT);
    user.ChooseRadio(kRadios, IDC_CLIENT_EUDORA);
    EXPECT_FALSE(s.IsEnabled(IDC_MAKE_DEFAULT));
    EXPECT_EQ(kChecked, s.CheckState(IDC_MAKE_DEFAULT));
    user.ChooseRadio(kRadios, IDC_CLIENT_THUNDERBIRD);
    EXPECT_TRUE(s.IsEnabled(IDC_MAKE_DEFAULT));
  });
}

TEST_F(Interactive, StartStateAndPreselection) {
  bed.detection.Install(ClientKind::kThunderbird);
  bed.detection.default_client = 5;
  RunDialog([](CDialog&, HeadlessSurface& s) {
    EXPECT_EQ(kChecked, s.CheckState(IDC_OVERWRITE)) << "interactive runs start with overwrite checked";
    EXPECT_EQ(kUnchecked, s.CheckState(IDC_MAKE_DEFAULT));
    EXPECT_FALSE(s.IsVisible(IDC_LAUNCH));
    EXPECT_FALSE(s.IsEnabled(IDC_LAUNCH));
    EXPECT_FALSE(s.IsVisible(IDC_ABOUT));
    EXPECT_EQ(kChecked, s.CheckState(IDC_CLIENT_THUNDERBIRD));
    for (int id : {IDC_CLIENT_OE, IDC_CLIENT_OUTLOOK, IDC_CLIENT_WINMAIL, IDC_CLIENT_EUDORA})
      EXPECT_FALSE(s.IsEnabled(id)) << id;
    EXPECT_TRUE(s.IsEnabled(IDC_CLIENT_THUNDERBIRD));
    EXPECT_EQ(IDR_MAINFRAME, s.icon());
  });
  const Lines lines = bed.LogLines();
  EXPECT_EQ("Searching for Mozilla Thunderbird ... found.", lines[5]);
  EXPECT_EQ("Detecting default e-mail client ... found. (Mozilla Thunderbird)", lines[11]);
  EXPECT_EQ("", lines[12]);
}

TEST_F(Interactive, DefaultClientNotInstalledIsUnrecognized) {
  bed.detection.Install(ClientKind::kThunderbird);
  bed.detection.default_client = 1;  // Outlook Express, not installed
  RunDialog([](CDialog&, HeadlessSurface& s) {
    for (int id : kRadios) EXPECT_EQ(kUnchecked, s.CheckState(id)) << id;
  });
  EXPECT_EQ("Detecting default e-mail client ... unrecognized.", bed.LogLines()[11]);

  DialogTestBed other;
  other.detection.default_client = 9;
  other.Run("");
  EXPECT_EQ("Detecting default e-mail client ... unrecognized.", other.LogLines()[11]);
}

TEST_F(Interactive, CancelBeforeSavingEndsTheRecord) {
  EXPECT_EQ(0, RunDialog([](CDialog& dialog, HeadlessSurface& s) {
              DialogDriver user(dialog, s);
              user.Type(IDC_DISPLAY_NAME, "Jo");
              EXPECT_TRUE(user.Click(kIdCancel));
              EXPECT_EQ(kIdCancel, s.result());
            }));
  const Lines lines = bed.LogLines();
  EXPECT_EQ(std::string("* Configuration Incomplete. Terminated by user at ") + kStamp + " *", lines[lines.size() - 2]);
  EXPECT_EQ("", lines.back());
}

TEST_F(Interactive, FailedSaveShowsTheFinishedStateWithoutLaunch) {
  for (int i = 0; i < 5; ++i) bed.detection.installed[i] = true;
  bed.detection.outlook_version = 9;
  // Outlook 2000 in Corporate/Workgroup mode, set to ask for a profile: it fails with 4.
  bed.machine.registry.PutDword(RegRoot::kCurrentUser, "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup",
                                "MailSupport", 1);
  bed.machine.registry.PutText(RegRoot::kCurrentUser, "Software\\Microsoft\\Exchange\\Client\\Options",
                               "PickLogonProfile", "1");
  std::string log_after_save;
  RunDialog([&](CDialog& dialog, HeadlessSurface& s) {
    DialogDriver user(dialog, s);
    user.ChooseRadio(kRadios, IDC_CLIENT_OUTLOOK);
    user.Type(IDC_DISPLAY_NAME, "Jo Doe");
    user.Type(IDC_USER_NAME, "jdoe");
    EXPECT_TRUE(user.Click(IDC_SAVE));
    for (int id : {IDC_SAVE, IDC_USER_NAME, IDC_DISPLAY_NAME, IDC_MAKE_DEFAULT, IDC_OVERWRITE, IDC_CLIENT_OE,
                   IDC_DETAILS_LABEL, IDC_USER_NAME_LABEL, IDC_DISPLAY_NAME_LABEL, IDC_CHOOSE_LABEL,
                   IDC_CLIENT_OUTLOOK, IDC_CLIENT_EUDORA, IDC_CLIENT_THUNDERBIRD, IDC_CLIENT_WINMAIL, IDC_ABOUT})
      EXPECT_FALSE(s.IsVisible(id)) << id;
    EXPECT_EQ("Close", s.Caption(kIdCancel));
    EXPECT_EQ(kIdCancel, s.default_button());
    EXPECT_FALSE(s.IsEnabled(IDC_SAVE));
    EXPECT_FALSE(s.IsVisible(IDC_LAUNCH));
    EXPECT_EQ(ErrorText(ClientKind::kOutlook, result::kNoDefaultProfile), s.Caption(IDC_MESSAGE));
    EXPECT_TRUE(s.IsVisible(IDC_MESSAGE));
    log_after_save = bed.Log();
    EXPECT_TRUE(user.Click(kIdCancel));
  });
  EXPECT_EQ(log_after_save, bed.Log()) << "Close after a failure adds nothing";
  const Lines lines = bed.LogLines();
  EXPECT_EQ("User Entered E-Mail Address: jdoe@quillset.example", lines[13]);
  EXPECT_EQ("Overwrite Existing Account: Yes", lines[16]) << "the box starts checked";
  EXPECT_EQ("Email Client Configuration failed with error code: 4", lines[19]);
}

TEST_F(Interactive, RunningClientStopShowsTheMessage) {
  bed.detection.running = RunningClients::kStop;
  EXPECT_EQ(0, RunDialog([&](CDialog& dialog, HeadlessSurface& s) {
              EXPECT_EQ("Please exit all running email clients, and then restart Postwright.", s.Caption(IDC_MESSAGE));
              EXPECT_EQ("Close", s.Caption(kIdCancel));
              EXPECT_FALSE(s.IsVisible(IDC_LAUNCH));
              const std::string log = bed.Log();
              DialogDriver(dialog, s).Click(kIdCancel);
              EXPECT_EQ(log, bed.Log()) << "the record is already closed";
            }));
  const Lines lines = bed.LogLines();
  EXPECT_EQ(std::string("* Configuration Incomplete. Terminated automatically at ") + kStamp + " *",
            lines[lines.size() - 2]);
}

TEST_F(Interactive, AboutButtonOpensTheAboutBox) {
  RunDialog([&](CDialog& dialog, HeadlessSurface&) {
    bed.host.OnRun(IDD_ABOUTBOX, [](CDialog&, HeadlessSurface& about) {
      EXPECT_EQ("POP3 Port: 995", about.Caption(IDC_ABOUT_POP3_PORT));
      EXPECT_EQ("SMTP Port: 465", about.Caption(IDC_ABOUT_SMTP_PORT));
      EXPECT_EQ("pop.quillset.example", about.Caption(IDC_ABOUT_POP3_HOST));
      EXPECT_EQ("smtp.quillset.example", about.Caption(IDC_ABOUT_SMTP_HOST));
      EXPECT_EQ("POP3 Username:", about.Caption(IDC_ABOUT_POP3_USER));
      EXPECT_EQ(IDR_MAINFRAME, about.icon());
    });
    dialog.OnCommand(IDC_ABOUT, kBnClicked);
  });
  EXPECT_EQ((std::vector<int>{IDD_CONFIG_DIALOG, IDD_ABOUTBOX}), bed.host.runs());
}

// Close after a successful run starts the client that was configured.

struct Launch : ::testing::Test {
  Launch() {
    bed.host.Register(IDD_CONFIG_DIALOG, CConfigDlg::TemplateControls());
    surface = std::make_unique<HeadlessSurface>(CConfigDlg::TemplateControls());
    dlg.AttachSurface(surface.get());
    dlg.OnInitDialog();
    dlg.configured_ = true;
    dlg.ShowFinishedState();
    bed.log.WriteClosing(Closing::kComplete);
  }
  // The radio button stays checked, hidden, after the save.
  void Select(ClientKind kind) { surface->SetCheckState(kRadios[ClientNumber(kind)], kChecked); }
  void Register(ClientKind kind, const std::string& path) {
    bed.machine.registry.PutText(RegRoot::kLocalMachine, AppPathsKey(kind), "", path);
  }
  std::string LogTail() {
    const std::string log = bed.Log();
    return log.substr(log.rfind(" *\r\n\r\n") + 6);
  }
  DialogTestBed bed;
  CConfigDlg dlg{bed.view, bed.log, bed.detection, *bed.writers, &bed.host, RunOptions{}};
  std::unique_ptr<HeadlessSurface> surface;
};

TEST_F(Launch, StartsTheRegisteredProgramAsOnePath) {
  Register(ClientKind::kOutlookExpress, "%ProgramFiles%\\Outlook Express\\msimn.exe");
  bed.machine.environment.Set("ProgramFiles", "C:\\Program Files");
  Select(ClientKind::kOutlookExpress);
  EXPECT_TRUE(surface->IsVisible(IDC_LAUNCH));
  EXPECT_EQ(kChecked, surface->CheckState(IDC_LAUNCH));
  dlg.OnCancel();
  ASSERT_EQ(1u, bed.machine.processes.Started().size());
  EXPECT_EQ("C:\\Program Files\\Outlook Express\\msimn.exe", bed.machine.processes.Started()[0].application);
  EXPECT_EQ("\"C:\\Program Files\\Outlook Express\\msimn.exe\"", bed.machine.processes.Started()[0].command_line);
  EXPECT_EQ("Email client path to start is : C:\\Program Files\\Outlook Express\\msimn.exe\r\n\r\n", LogTail());
  EXPECT_TRUE(surface->ended());
}

TEST_F(Launch, QuotedRegistrationAndUnsetPlaceholder) {
  Register(ClientKind::kThunderbird, "\"%ProgramFiles(x86)%\\Mozilla Thunderbird\\thunderbird.exe\"");
  Select(ClientKind::kThunderbird);
  dlg.OnCancel();
  ASSERT_EQ(1u, bed.machine.processes.Started().size());
  EXPECT_EQ("%ProgramFiles(x86)%\\Mozilla Thunderbird\\thunderbird.exe",
            bed.machine.processes.Started()[0].application);
}

TEST_F(Launch, UncheckedBoxOrMissingRegistrationStartsNothing) {
  Register(ClientKind::kOutlookExpress, "C:\\oe\\msimn.exe");
  Select(ClientKind::kOutlookExpress);
  surface->SetCheckState(IDC_LAUNCH, kUnchecked);
  const std::string before = bed.Log();
  dlg.OnCancel();
  EXPECT_TRUE(bed.machine.processes.Started().empty());
  EXPECT_EQ(before, bed.Log());

  surface->SetCheckState(IDC_LAUNCH, kChecked);
  surface->SetCheckState(kRadios[ClientNumber(ClientKind::kOutlookExpress)], kUnchecked);
  Select(ClientKind::kEudora);  // no registration
  dlg.OnCancel();
  EXPECT_TRUE(bed.machine.processes.Started().empty());
  EXPECT_EQ("Email client path to start is : \r\n\r\n", LogTail());
}

TEST(SuccessText, NamesTheClient) {
  EXPECT_EQ("Congratulations! Microsoft Outlook Express has been successfully configured for your mail settings.",
            SuccessText(ClientKind::kOutlookExpress));
  EXPECT_EQ("Congratulations! Mozilla Thunderbird has been successfully configured for your mail settings.",
            SuccessText(ClientKind::kThunderbird));
}

// The listing of the messaging keys in failure reports.

struct Dump : ::testing::Test {
  std::string DumpOf(const std::string& path) {
    EXPECT_EQ(err::kSuccess, bed.log.Open(bed.machine.files, bed.machine.clock, kLogPath));
    dlg.DumpRegistryTree(path, 0, bed.log);
    bed.log.Close();
    return bed.Log();
  }
  DialogTestBed bed;
  CConfigDlg dlg{bed.view, bed.log, bed.detection, *bed.writers, &bed.host, RunOptions{}};
};

TEST_F(Dump, DepthFirstWithThreeBlanksPerLevel) {
  const std::string root = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676\\00000001");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Outlook\\0a0d020000000000c000000000000046");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Backup");
  const std::string long_name(150, 'k');  // longer than the program's old 100-byte buffer
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\" + long_name + "\\below");
  EXPECT_EQ(long_name + "\r\n   below\r\n" +
                "Profiles\r\n"
                "   Backup\r\n"
                "   Outlook\r\n"
                "      0a0d020000000000c000000000000046\r\n"
                "      9375CFF0413111d3B88A00104B2A6676\r\n"
                "         00000001\r\n",
            DumpOf(root));
}

TEST_F(Dump, UnopenableKeysGiveAnUnindentedErrorLine) {
  EXPECT_EQ("error: 2\r\n", DumpOf("Software\\Missing"));
  DialogTestBed again;
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Top\\Locked\\Inner");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Top\\Open");
  bed.machine.registry.DenyWrite(RegRoot::kCurrentUser, "Software\\Top\\Locked");
  EXPECT_EQ("error: 2\r\nLocked\r\nerror: 5\r\nOpen\r\n", DumpOf("Software\\Top"));
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// A whole interactive run that configures a client, with the real writer.
TEST_F(Interactive, SuccessfulSaveOffersToLaunchTheClient) {
  bed.detection.Install(ClientKind::kOutlookExpress);
  bed.detection.default_client = 1;
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Microsoft\\Internet Account Manager\\Accounts");
  bed.machine.registry.PutText(RegRoot::kLocalMachine, AppPathsKey(ClientKind::kOutlookExpress), "",
                               "C:\\Program Files\\Outlook Express\\msimn.exe");
  RunDialog([&](CDialog& dialog, HeadlessSurface& s) {
    DialogDriver user(dialog, s);
    user.Type(IDC_DISPLAY_NAME, "Jo Doe");
    user.Type(IDC_USER_NAME, "jdoe");
    EXPECT_TRUE(user.Click(IDC_SAVE));
    EXPECT_EQ(SuccessText(ClientKind::kOutlookExpress), s.Caption(IDC_MESSAGE));
    EXPECT_TRUE(s.IsVisible(IDC_LAUNCH));
    EXPECT_TRUE(s.IsEnabled(IDC_LAUNCH));
    EXPECT_EQ(kChecked, s.CheckState(IDC_LAUNCH));
    EXPECT_FALSE(s.IsVisible(IDC_SAVE));
    EXPECT_EQ("Close", s.Caption(kIdCancel));
    EXPECT_TRUE(user.Click(kIdCancel));
  });
  RegValue address;
  ASSERT_TRUE(bed.machine.registry.Get(RegRoot::kCurrentUser,
                                       "Software\\Microsoft\\Internet Account Manager\\Accounts\\jdoe@quillset.example",
                                       "SMTP Email Address", &address));
  EXPECT_EQ("jdoe@quillset.example", address.data);
  const Lines lines = bed.LogLines();
  ASSERT_GE(lines.size(), 6u);
  EXPECT_EQ("Client Selected to Configure: Microsoft Outlook Express", lines[17]);
  EXPECT_EQ("Email Client Configuration Successful!", lines[lines.size() - 6]);
  EXPECT_EQ(std::string("* Configuration Complete at ") + kStamp + " *", lines[lines.size() - 4]);
  EXPECT_EQ("Email client path to start is : C:\\Program Files\\Outlook Express\\msimn.exe", lines[lines.size() - 2]);
  ASSERT_EQ(1u, bed.machine.processes.Started().size());
  EXPECT_EQ("C:\\Program Files\\Outlook Express\\msimn.exe", bed.machine.processes.Started()[0].application);
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

// A writer that answers with a chosen result, to see what the configure
// command makes of each one.
struct AnswerWriter : AccountWriter {
  explicit AnswerWriter(ConfigureResult answer) : answer(answer) {}
  ConfigureResult Configure() override { return answer; }
  ConfigureResult answer;
};

// Gives every client such a writer and records what it was asked for.
struct AnswerWriters : WriterFactory {
  std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, int version, const AccountRequest& request,
                                            const AutomaticPrefix& prefix) override {
    asked_kind = kind;
    asked_version = version;
    asked = request;
    asked_prefix = prefix;
    return std::make_unique<AnswerWriter>(answer);
  }
  std::unique_ptr<AccountLookup> MakeLookup(ClientKind, int) override { return nullptr; }

  ConfigureResult answer = result::kConfigured;
  std::optional<ClientKind> asked_kind;
  int asked_version = -5;
  AccountRequest asked;
  AutomaticPrefix asked_prefix;
};

struct Dispatch : ::testing::Test {
  Dispatch() { bed.writers = &writers; }
  // Runs the program with this command line, its writer answering `answer`.
  int Run(const std::string& command_line, ConfigureResult answer) {
    writers.answer = answer;
    return bed.Run(command_line);
  }
  Lines Tail(size_t from) {
    const Lines lines = bed.LogLines();
    return Lines(lines.begin() + from, lines.end());
  }
  DialogTestBed bed;
  AnswerWriters writers;
};

TEST_F(Dispatch, WriterGetsTheRequestAndTheOutlookVersion) {
  bed.detection.Install(ClientKind::kOutlook);
  bed.detection.outlook_version = 11;
  EXPECT_EQ(0, Run("-d -n \"Jo Doe\" -c 1 -a jdoe", result::kConfigured));
  EXPECT_EQ(ClientKind::kOutlook, writers.asked_kind);
  EXPECT_EQ(11, writers.asked_version);
  EXPECT_EQ("jdoe@quillset.example", writers.asked.address);
  EXPECT_EQ("Jo Doe", writers.asked.display_name);
  EXPECT_TRUE(writers.asked.make_default);
  EXPECT_FALSE(writers.asked.overwrite);
  EXPECT_EQ(std::nullopt, writers.asked_prefix);
  EXPECT_EQ("", bed.machine.std_out.err) << "a configured run is silent";
  EXPECT_EQ((Lines{"User Entered E-Mail Address: jdoe@quillset.example", "User Entered Display Name: Jo Doe",
                   "Make Account Default: Yes", "Overwrite Existing Account: No",
                   "Client Selected to Configure: Microsoft Outlook", "", "Email Client Configuration Successful!", "",
                   std::string("* Configuration Complete at ") + kStamp + " *", ""}),
            Tail(13));
}

TEST_F(Dispatch, OutlookProfileFailuresListTheMessagingKeys) {
  const std::string root = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Outlook");
  const struct {
    ConfigureResult result;
    const char* description;
  } kCases[] = {
      {result::kProfileUnreadable, "ERROR: Unable to automatically configure"},
      {result::kNotRunYet,
       "ERROR: Outlook has not been run for the first time. Please run and close Outlook and try again."},
  };
  for (const auto& c : kCases) {
    static_cast<void>(bed.machine.files.Remove(kLogPath));  // there is none before the first run
    EXPECT_EQ(1, Run("-n \"Jo\" -c 1 -a jdoe", c.result));
    EXPECT_EQ((Lines{"Client Selected to Configure: Microsoft Outlook", "",
                     "Email Client Configuration failed with error code: " + std::to_string(c.result),
                     std::string("Description: ") + c.description, "Relevant Registry Structure:", "Profiles",
                     "   Outlook", std::string("* Configuration Failed at ") + kStamp + " *", ""}),
              Tail(17))
        << c.result;
  }
}

// Every other failure: its code and description, and no listing.
TEST_F(Dispatch, EveryOtherFailureIsDescribed) {
  const std::string unable = "ERROR: Unable to automatically configure";
  const std::string found = "ERROR: Account was already found, no changes have been made.";
  const std::string identical =
      "ERROR: Identical Automatically Created Account was already found, no changes have been made.";
  const std::string unsaved = "ERROR: Unable to save the e-mail settings, no changes have been made.";
  const ClientKind oe = ClientKind::kOutlookExpress, outlook = ClientKind::kOutlook,
                   winmail = ClientKind::kWindowsMail, eudora = ClientKind::kEudora, tb = ClientKind::kThunderbird;
  const struct {
    ClientKind kind;
    ConfigureResult result;
    std::string description;
  } kCases[] = {
      {oe, result::kUnableToConfigure, unable},
      {oe, result::kProfileUnreadable, ""},
      {oe, result::kNotRunYet, ""},
      {oe, result::kAlreadyExists, found},
      {oe, result::kIdenticalAutomatic, identical},
      {oe, result::kSaveFailed, unsaved},
      {outlook, result::kUnableToConfigure, unable},
      {outlook, result::kNoDefaultProfile,
       "ERROR: No default e-mail profile found. Please run Outlook and select a Default Profile when prompted during "
       "startup."},
      {outlook, result::kAlreadyExists, found},
      {outlook, result::kIdenticalAutomatic, identical},
      {outlook, result::kSaveFailed, unsaved},
      {winmail, result::kUnableToConfigure, ""},
      {winmail, result::kNotRunYet,
       "ERROR: Windows Mail has not been run for the first time. Please run and close Windows Mail and try again."},
      {winmail, result::kAlreadyExists, found},
      {winmail, result::kSaveFailed, unsaved},
      {eudora, result::kUnableToConfigure,
       "ERROR: Eudora has not been run for the first time or Eudora is not set to store data in the default "
       "location."},
      {eudora, result::kAlreadyExists, found},
      {eudora, result::kSaveFailed, unsaved},
      {tb, result::kUnableToConfigure, ""},
      {tb, result::kAlreadyExists, found},
      {tb, result::kSaveFailed, unsaved},
      {tb, result::kNoWriter, ""},
  };
  for (const auto& c : kCases) {
    static_cast<void>(bed.machine.files.Remove(kLogPath));  // there is none before the first run
    bed.machine.std_out.err.clear();
    const std::string kind = std::to_string(ClientNumber(c.kind));
    EXPECT_EQ(1, Run("-n \"Jo\" -c " + kind + " -a jdoe", c.result));
    EXPECT_EQ((Lines{"Email Client Configuration failed with error code: " + std::to_string(c.result),
                     "Description: " + c.description, std::string("* Configuration Failed at ") + kStamp + " *", ""}),
              Tail(19))
        << kind << " " << c.result;
    // A deployment tool hears the description too, or the code where there is none.
    const std::string said =
        c.description.empty() ? "Email Client Configuration failed with error code: " + std::to_string(c.result)
                              : c.description;
    EXPECT_EQ("Postwright: " + said + " (log: " + kLogPath + ")\n", bed.machine.std_out.err);
  }
}

}  // namespace
}  // namespace pw
