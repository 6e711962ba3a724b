#include "ui/ConfigDlg.h"

#include <gtest/gtest.h>

#include "DialogDriver.h"
#include "unit/run/RunTestBed.h"
#include "app/AppPaths.h"
#include "clients/ClientTexts.h"
#include "clients/MailClients.h"

namespace pw {
namespace {

// Interactive runs: the dialog with its (headless) window.

struct Interactive : ::testing::Test {
  int RunDialog(HeadlessHost::Script script) {
    bed.host.OnRun(IDD_CONFIG_DIALOG, std::move(script));
    return bed.Run("");
  }
  RunTestBed bed;
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

  RunTestBed no_default;
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

// The window's controls make the run's request; nothing else does.
TEST_F(Interactive, ControlsMakeTheRequest) {
  for (int i = 0; i < kClientCount; ++i) bed.detection.installed[i] = true;
  const struct {
    int radio;
    bool toggle_default, toggle_overwrite;
    int client;
    bool make_default, overwrite;
  } kCases[] = {
      {IDC_CLIENT_THUNDERBIRD, false, false, 4, false, true},  // overwrite starts checked
      {IDC_CLIENT_OE, true, true, 0, true, false},
      {IDC_CLIENT_EUDORA, true, false, 3, true, true},  // disabled for Eudora, but still checked
  };
  for (const auto& c : kCases) {
    RunDialog([&](CDialog& dialog, HeadlessSurface& s) {
      DialogDriver user(dialog, s);
      user.Type(IDC_DISPLAY_NAME, "Dana \xD7\x93 Lee");
      user.Type(IDC_USER_NAME, "dana");
      if (c.toggle_default) user.Toggle(IDC_MAKE_DEFAULT);
      if (c.toggle_overwrite) user.Toggle(IDC_OVERWRITE);
      user.ChooseRadio(kRadios, c.radio);
      dialog.UpdateData(true);
      const RunRequest request = static_cast<CConfigDlg&>(dialog).Request();
      EXPECT_EQ(RunMode::kInteractive, request.mode);
      EXPECT_EQ(c.client, request.client);
      EXPECT_EQ("Dana \xD7\x93 Lee", request.display_name);
      EXPECT_EQ("dana", request.user_name);
      EXPECT_EQ(c.make_default, request.make_default) << c.client;
      EXPECT_EQ(c.overwrite, request.overwrite) << c.client;
    });
  }
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

  RunTestBed other;
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

// A whole interactive run that configures a client, with the real writer.
TEST_F(Interactive, SuccessfulSaveOffersToLaunchTheClient) {
  bed.detection.Install(ClientKind::kOutlookExpress);
  bed.detection.default_client = 1;
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Microsoft\\Internet Account Manager\\Accounts");
  bed.machine.registry.PutText(RegRoot::kLocalMachine, AppPathsKey(MailClientOf(ClientKind::kOutlookExpress).marks.program), "",
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
