// Client detection in real runs: which registrations and mail-link commands
// the program recognises, and what it does about mail clients that are
// running (stand-in programs started under the clients' file names).
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DummyProgram.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;

constexpr char kMailClients[] = "SOFTWARE\\Clients\\Mail\\";
constexpr char kOutlook[] = "SOFTWARE\\Clients\\Mail\\Microsoft Outlook";
constexpr char kMailLink[] = "mailto\\shell\\open\\command";
constexpr char kOutlookExpressLink[] = "\"C:\\Program Files\\Outlook Express\\MSIMN.EXE\" /mailurl:%1";
// Automatic mode finds the default client's default account; with none to
// find, the run ends after detection without writing to any client.
constexpr char kAutomaticRun[] = "-auto -p \"QS \"";
// Would write an Outlook Express account if it got that far.
constexpr char kExplicitRun[] = "-n \"Jo Doe\" -c 0 -a jdoe -u -d";
constexpr DWORD kClientRunningExit = 3;

void Register(const std::string& client) { bed::SeedKey(HKEY_LOCAL_MACHINE, kMailClients + client); }

// Thunderbird, Outlook Express and Outlook 12 installed; Eudora only for this
// user, which does not count; Outlook Express handles mail links.
void SeedClients() {
  Register("Mozilla Thunderbird");
  Register("Outlook Express");
  bed::SeedKey(HKEY_CURRENT_USER, "Software\\Clients\\Mail\\Eudora");
  bed::SeedText(HKEY_LOCAL_MACHINE, kOutlook, "MSIApplicationLCID", "Software\\Microsoft\\Office\\12.0\\Outlook");
  bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", kOutlookExpressLink);
}

const std::vector<std::string> kSeededClientLines = {
    "Searching for Mozilla Thunderbird ... found.",
    "Searching for Qualcomm Eudora ... not detected.",
    "Searching for Microsoft Outlook Express ... found.",
    "Searching for Microsoft Windows Mail ... not detected.",
    "Searching for Microsoft Outlook ... found. (Version 12)",
    "",
};

// Runs the program on a fresh log and returns the log's lines after the
// header's five (title, rule, blank, start line, blank).
std::vector<std::string> RunAndReadLog(const std::string& arguments, DWORD* exit_code) {
  bed::RemovePath(bed::LogPath());
  const bed::RunResult run = bed::RunPostwright(arguments);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  *exit_code = run.exit_code;
  std::vector<std::string> lines = bed::LogLines();
  if (lines.size() < 5) {
    ADD_FAILURE() << "the log has no header";
    return lines;
  }
  EXPECT_EQ("Postwright - Quillset Log", lines[0]);
  EXPECT_EQ(0u, lines[3].rfind("* Beginning Configuration (command line) at ", 0)) << lines[3];
  return std::vector<std::string>(lines.begin() + 5, lines.end());
}

std::vector<std::string> Head(const std::vector<std::string>& lines, size_t count) {
  return std::vector<std::string>(lines.begin(), lines.begin() + std::min(count, lines.size()));
}

// The log's line that names the automatic run's error.
std::string AutomaticError(const std::vector<std::string>& lines) {
  const std::string lead = "Email Client Configuration failed with error : ";
  for (const std::string& line : lines)
    if (line.rfind(lead, 0) == 0) return line.substr(lead.size());
  return "(none)";
}

// What changed besides the run log, which every run appends to.
std::string ChangesBesidesLog(bed::State before, bed::State after) {
  for (bed::State* state : {&before, &after})
    for (auto& [folder, tree] : state->folders) tree.files.erase("Postwright.log");
  return bed::DescribeChanges(before, after);
}

// The programs' process ids in the order the process snapshot lists them.
std::vector<DWORD> SnapshotOrder(const std::vector<const bed::DummyProgram*>& programs) {
  std::vector<DWORD> order;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return order;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    for (const bed::DummyProgram* program : programs)
      if (program->process_id() == entry.th32ProcessID) order.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return order;
}

class DetectionWineTest : public WineTest {};

TEST_F(DetectionWineTest, InstalledClientsAndOutlookVersionComeFromTheMachineRegistry) {
  SeedClients();
  DWORD exit_code = 0;
  std::vector<std::string> expected = kSeededClientLines;
  expected.push_back("Detecting default e-mail client ... done.");
  expected.push_back("");
  EXPECT_EQ(expected, Head(RunAndReadLog(kAutomaticRun, &exit_code), expected.size()));

  const struct {
    DWORD type;
    std::string bytes;
    const char* line;
  } kVersions[] = {
      {REG_MULTI_SZ, "Software\\Microsoft\\Office\\11.0\\Outlook\0Office\\12.0\\\0\0"s, "found. (Version 11)"},
      {REG_EXPAND_SZ, "%ProgramFiles%\\Office\\9.0\\Office\\12.0\\\0"s, "found. (Version 9)"},
      {REG_SZ, "Software\\Microsoft\\Office\\12", "found. (Version 12)"},  // no NUL, no ".0\"
      {REG_SZ, std::string(300 - 20, 'x') + "Office\\10.0\\Outlook\0"s, "found. (Version 10)"},  // 300 bytes
      {REG_SZ, std::string(301 - 20, 'x') + "Office\\10.0\\Outlook\0"s, "found. (Version -1)"},  // too long
      {REG_SZ, "Software\\Microsoft\\Outlook\0"s, "found. (Version -1)"},
  };
  for (const auto& version : kVersions) {
    SCOPED_TRACE(version.line);
    bed::SeedValue(HKEY_LOCAL_MACHINE, kOutlook, "MSIApplicationLCID", version.type, version.bytes);
    const std::vector<std::string> lines = RunAndReadLog(kAutomaticRun, &exit_code);
    ASSERT_LE(5u, lines.size());
    EXPECT_EQ("Searching for Microsoft Outlook ... "s + version.line, lines[4]);
  }

  bed::RemoveKey(HKEY_LOCAL_MACHINE, kOutlook);
  bed::SeedText(HKEY_LOCAL_MACHINE, kOutlook + "\\Capabilities"s, "ApplicationName", "Microsoft Outlook");
  EXPECT_EQ("Searching for Microsoft Outlook ... found. (Version -1)", RunAndReadLog(kAutomaticRun, &exit_code)[4]);
  bed::RemoveKey(HKEY_LOCAL_MACHINE, kOutlook);
  bed::SeedText(HKEY_CURRENT_USER, "Software\\Clients\\Mail\\Microsoft Outlook", "MSIApplicationLCID",
                "Software\\Microsoft\\Office\\12.0\\Outlook");
  EXPECT_EQ("Searching for Microsoft Outlook ... not detected.", RunAndReadLog(kAutomaticRun, &exit_code)[4]);
}

TEST_F(DetectionWineTest, MailLinkCommandNamesTheDefaultClient) {
  Register("Outlook Express");
  DWORD exit_code = 0;
  // A fresh prefix sends mail links to Wine's own browser: no client to rewrite.
  EXPECT_EQ("unsupportedDef", AutomaticError(RunAndReadLog(kAutomaticRun, &exit_code)));

  // Outlook Express is recognised, and its lookup finds no default account.
  bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", kOutlookExpressLink);
  EXPECT_EQ("defaultDNE", AutomaticError(RunAndReadLog(kAutomaticRun, &exit_code)));
  EXPECT_EQ(1u, exit_code);

  bed::SeedValue(HKEY_CLASSES_ROOT, kMailLink, "", REG_EXPAND_SZ,
                 "\"%ProgramFiles%\\Outlook Express\\msimn.exe\" /mailurl:%1\0"s);
  EXPECT_EQ("defaultDNE", AutomaticError(RunAndReadLog(kAutomaticRun, &exit_code)));

  const std::string padded = kOutlookExpressLink + std::string(300, ' ');
  bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", padded);
  EXPECT_EQ("unsupportedDef", AutomaticError(RunAndReadLog(kAutomaticRun, &exit_code)));

  bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", "C:\\Program Files\\Mail\\mailer.exe %1");
  EXPECT_EQ("unsupportedDef", AutomaticError(RunAndReadLog(kAutomaticRun, &exit_code)));
}

TEST_F(DetectionWineTest, RunningClientStopsTheRunAndNothingIsTouched) {
  SeedClients();
  bed::DummyProgram thunderbird("thunderbird.exe");
  bed::DummyProgram outlook("OUTLOOK.EXE");
  ASSERT_TRUE(thunderbird.started());
  ASSERT_TRUE(outlook.started());
  const bed::State before = bed::CaptureState();

  for (const char* arguments : {kExplicitRun, kAutomaticRun}) {
    SCOPED_TRACE(arguments);
    DWORD exit_code = 0;
    const std::vector<std::string> lines = RunAndReadLog(arguments, &exit_code);
    EXPECT_EQ(kClientRunningExit, exit_code);
    std::vector<std::string> expected = kSeededClientLines;
    expected.push_back("Running Email Client Detected. Closing.");
    expected.push_back("");
    ASSERT_EQ(expected.size() + 2, lines.size());
    EXPECT_EQ(expected, Head(lines, expected.size()));
    EXPECT_EQ(0u, lines[expected.size()].rfind("* Configuration Incomplete. Terminated automatically at ", 0))
        << lines[expected.size()];
    EXPECT_EQ("", lines.back());
    EXPECT_TRUE(thunderbird.Running());
    EXPECT_TRUE(outlook.Running());
    EXPECT_EQ("", ChangesBesidesLog(before, bed::CaptureState()));
  }
}

TEST_F(DetectionWineTest, CloseFlagEndsEachRunningClientAndTheRunGoesOn) {
  SeedClients();
  bed::DummyProgram lower_case("outlook.exe");
  ASSERT_TRUE(lower_case.started());
  DWORD exit_code = 0;
  std::vector<std::string> expected = kSeededClientLines;
  expected.push_back("Detecting default e-mail client ... done.");
  expected.push_back("");
  EXPECT_EQ(expected, Head(RunAndReadLog(kAutomaticRun, &exit_code), expected.size()));  // not a client
  EXPECT_NE(kClientRunningExit, exit_code);

  bed::DummyProgram thunderbird("thunderbird.exe");
  bed::DummyProgram outlook("OUTLOOK.EXE");
  ASSERT_TRUE(thunderbird.started());
  ASSERT_TRUE(outlook.started());
  const std::vector<DWORD> order = SnapshotOrder({&thunderbird, &outlook});
  ASSERT_EQ(2u, order.size());

  const std::vector<std::string> lines = RunAndReadLog(kAutomaticRun + " -x"s, &exit_code);
  EXPECT_NE(kClientRunningExit, exit_code);
  expected = kSeededClientLines;
  for (DWORD id : order) {
    const char* exe = id == outlook.process_id() ? "OUTLOOK.EXE" : "thunderbird.exe";
    expected.push_back("Running Email Client Detected: "s + exe + ". Closed.");
  }
  expected.push_back("Detecting default e-mail client ... done.");
  expected.push_back("");
  expected.push_back("Automatically Configuring from default email client's default account.");
  EXPECT_EQ(expected, Head(lines, expected.size()));
  EXPECT_EQ("defaultDNE", AutomaticError(lines));

  // Ended by the program (exit code 0) before it went on, not by the test bed.
  EXPECT_TRUE(thunderbird.WaitForEnd(0));
  EXPECT_TRUE(outlook.WaitForEnd(0));
  EXPECT_EQ(0u, thunderbird.ExitCode());
  EXPECT_EQ(0u, outlook.ExitCode());
  EXPECT_TRUE(lower_case.Running());
}

}  // namespace
}  // namespace pw
