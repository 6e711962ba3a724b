// The run with plain requests in and outcomes out: its log record, its exit
// status and what it tells the window and standard error.
#include "run/ConfigRun.h"

#include <gtest/gtest.h>

#include "app/AppPaths.h"
#include "app/Version.h"
#include "clients/ClientTexts.h"
#include "clients/MailClients.h"
#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

TEST(ConfigRun, ExplicitRunWithAnUnknownClientFailsWithMinusOne) {
  RunTestBed bed;
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
  RunTestBed bed;
  EXPECT_EQ(1, bed.Run("-d -u -n \"Ann -Lee\" -c 9 -a ann"));
  const Lines lines = bed.LogLines();
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "User Entered Display Name: Ann -Lee"));
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Make Account Default: Yes"));
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "Overwrite Existing Account: Yes"));
}

TEST(ConfigRun, TwoRunsLeaveTwoRecords) {
  RunTestBed bed;
  bed.Run("-n \"Jo\" -c 7 -a jdoe");
  const std::string first = bed.Log();
  bed.Run("-n \"Jo\" -c 8 -a jdoe");
  const std::string both = bed.Log();
  ASSERT_EQ(first, both.substr(0, first.size()));
  EXPECT_EQ("Postwright - Quillset Log\r\n", both.substr(first.size(), 27));
  EXPECT_EQ(2 * first.size(), both.size() - 0) << "the same run twice gives the same record twice";
}

TEST(ConfigRun, LogFallsBackToTheShellFolderAndOtherwiseIsDropped) {
  RunTestBed bed;
  bed.machine.registry.Put(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", regtype::kSz,
                           std::string(301, 'x'));  // longer than the program reads
  bed.machine.environment.SetShellAppData("C:\\Shell");
  bed.machine.files.PutFolder("C:\\Shell");
  EXPECT_EQ(1, bed.Run("-n \"Jo\" -c 7 -a jdoe"));
  EXPECT_TRUE(bed.machine.files.HasFile("C:\\Shell\\Postwright.log"));

  RunTestBed none;
  none.machine.registry.Put(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", regtype::kSz, "");
  none.machine.files.PutFolder("C:\\Users");
  none.machine.registry.DenyAccess(RegRoot::kCurrentUser, "Volatile Environment");
  EXPECT_EQ(1, none.Run("-n \"Jo\" -c 7 -a jdoe")) << "the run goes on without a log";
  EXPECT_FALSE(none.machine.files.HasFile(kLogPath));
  EXPECT_EQ(" (log: none)\n", none.machine.std_out.err.substr(none.machine.std_out.err.size() - 13));
}

TEST(ConfigRun, RunningClientStopsCommandLineRun) {
  RunTestBed bed;
  bed.detection.running = RunningClients::kStop;
  EXPECT_EQ(3, bed.Run("-n \"Jo\" -c 0 -a jdoe"));
  EXPECT_FALSE(bed.detection.asked_to_close) << "-x belongs to automatic mode";
  EXPECT_EQ(std::string("Postwright: Running Email Client Detected. Closing. (log: ") + kLogPath + ")\n",
            bed.machine.std_out.err);
  EXPECT_EQ(Join({Header(true), NothingInstalled(),
                  {"Running Email Client Detected. Closing.", "",
                   std::string("* Configuration Incomplete. Terminated automatically at ") + kStamp + " *", ""}}),
            bed.LogLines());

  RunTestBed automatic;
  automatic.detection.running_lines = {"Running Email Client Detected: OUTLOOK.EXE. Closed."};
  automatic.Run("-auto -p \"QS \" -x");
  EXPECT_TRUE(automatic.detection.asked_to_close);
  EXPECT_EQ("Running Email Client Detected: OUTLOOK.EXE. Closed.", automatic.LogLines()[11]);
}

TEST(ConfigRun, AutomaticModeWithoutSupportedDefaultClient) {
  RunTestBed bed;
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
    RunTestBed bed;
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
    RunTestBed bed;
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
  RunTestBed bed;
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
    RunTestBed bed;
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

TEST(SuccessText, NamesTheClient) {
  EXPECT_EQ("Congratulations! Microsoft Outlook Express has been successfully configured for your mail settings.",
            SuccessText(ClientKind::kOutlookExpress));
  EXPECT_EQ("Congratulations! Mozilla Thunderbird has been successfully configured for your mail settings.",
            SuccessText(ClientKind::kThunderbird));
}

// Close after a successful run starts the client that was configured, as
// App Paths registers it.
struct Launch : ::testing::Test {
  Launch() {
    bed.log.WriteClosing(Closing::kComplete);
  }
  void Register(ClientKind kind, const std::string& path) {
    bed.machine.registry.PutText(RegRoot::kLocalMachine, AppPathsKey(MailClientOf(kind).marks.program), "", path);
  }
  void Start(ClientKind kind) {
    ConfigRun run(bed.view, bed.log, bed.detection, *bed.writers, RunRequest{});
    EXPECT_EQ(err::kSuccess, bed.log.Open(bed.machine.files, bed.machine.clock, kLogPath));
    bed.log.WriteClosing(Closing::kComplete);
    run.Launch(kind);
  }
  std::string LogTail() {
    const std::string log = bed.Log();
    return log.substr(log.rfind(" *\r\n\r\n") + 6);
  }
  RunTestBed bed;
};

TEST_F(Launch, StartsTheRegisteredProgramAsOnePath) {
  Register(ClientKind::kOutlookExpress, "%ProgramFiles%\\Outlook Express\\msimn.exe");
  bed.machine.environment.Set("ProgramFiles", "C:\\Program Files");
  Start(ClientKind::kOutlookExpress);
  ASSERT_EQ(1u, bed.machine.processes.Started().size());
  EXPECT_EQ("C:\\Program Files\\Outlook Express\\msimn.exe", bed.machine.processes.Started()[0].application);
  EXPECT_EQ("\"C:\\Program Files\\Outlook Express\\msimn.exe\"", bed.machine.processes.Started()[0].command_line);
  EXPECT_EQ("Email client path to start is : C:\\Program Files\\Outlook Express\\msimn.exe\r\n\r\n", LogTail());
}

TEST_F(Launch, QuotedRegistrationAndUnsetPlaceholder) {
  Register(ClientKind::kThunderbird, "\"%ProgramFiles(x86)%\\Mozilla Thunderbird\\thunderbird.exe\"");
  Start(ClientKind::kThunderbird);
  ASSERT_EQ(1u, bed.machine.processes.Started().size());
  EXPECT_EQ("%ProgramFiles(x86)%\\Mozilla Thunderbird\\thunderbird.exe",
            bed.machine.processes.Started()[0].application);
}

TEST_F(Launch, MissingRegistrationStartsNothing) {
  Start(ClientKind::kEudora);  // no registration
  EXPECT_TRUE(bed.machine.processes.Started().empty());
  EXPECT_EQ("Email client path to start is : \r\n\r\n", LogTail());
}

// A writer that answers with a chosen result, to see what the configure
// command makes of each one.
struct AnswerWriter : AccountWriter {
  explicit AnswerWriter(ConfigureResult answer) : answer(answer) {}
  ConfigureResult Configure() override { return answer; }
  ConfigureResult answer;
};

// Gives every client such a writer and records what it was asked for.
struct AnswerWriters : WriterFactory {
  std::unique_ptr<AccountWriter> MakeWriter(ClientKind kind, const WriterContext& context,
                                            const AccountRequest& request, const AutomaticPrefix& prefix) override {
    asked_kind = kind;
    asked_version = context.outlook_version;
    asked = request;
    asked_prefix = prefix;
    return std::make_unique<AnswerWriter>(answer);
  }
  std::unique_ptr<AccountLookup> MakeLookup(ClientKind, const WriterContext&) override { return nullptr; }

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
  RunTestBed bed;
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


// A run that configured leaves the detection marker; a failed one leaves an
// earlier success's marker as it was.
TEST_F(Dispatch, OnlyARunThatConfiguredWritesTheMarker) {
  const auto value = [&](const char* name) {
    RegValue v;
    return bed.machine.registry.Get(RegRoot::kCurrentUser, kMarkerKey, name, &v) ? std::to_string(v.type) + ":" + v.data
                                                                                  : std::string("(none)");
  };
  EXPECT_EQ(0, Run("-n \"Jo\" -c 4 -a jdoe", result::kConfigured));
  EXPECT_EQ("1:" POSTWRIGHT_VERSION + std::string(1, '\0'), value("Version"));
  EXPECT_EQ("1:2008-12-07 14:05:09" + std::string(1, '\0'), value("Configured"));
  EXPECT_EQ("4:" + RegDwordBytes(4), value("Client"));
  EXPECT_EQ("1:jdoe@quillset.example" + std::string(1, '\0'), value("Address"));

  bed.machine.clock.Set(LocalTime{2009, 1, 2, 3, 4, 5});
  for (const ConfigureResult failure : {result::kAlreadyExists, result::kSaveFailed}) {
    EXPECT_EQ(1, Run("-n \"Jo\" -c 1 -a ann", failure));
    EXPECT_EQ("4:" + RegDwordBytes(4), value("Client"));
    EXPECT_EQ("1:jdoe@quillset.example" + std::string(1, '\0'), value("Address"));
  }
}

}  // namespace
}  // namespace pw
