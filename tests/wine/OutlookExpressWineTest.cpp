// Outlook Express accounts written by real runs: the account key, its twenty
// values read back through the registry API, the run log's account block, and
// what a second run for the same address does with and without "-u".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;

// The provider this build configures (the build's default settings).
constexpr char kAddress[] = "jdoe@quillset.example";
constexpr char kPop3Host[] = "pop.quillset.example";
constexpr char kSmtpHost[] = "smtp.quillset.example";

const std::string kManager = "Software\\Microsoft\\Internet Account Manager";
const std::string kRoot = kManager + "\\Accounts";
const std::string kKey = kRoot + "\\" + kAddress;

constexpr char kRun[] = "-n \"Jo Doe\" -c 0 -a jdoe";
constexpr DWORD kConfigured = 0;
constexpr DWORD kFailed = 1;

// What a freshly set-up Outlook Express leaves: its registration for the
// machine and an account root without mail accounts.
void SeedFreshOutlookExpress() {
  bed::SeedKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Outlook Express");
  bed::SeedKey(HKEY_CURRENT_USER, kRoot);
}

std::vector<std::pair<std::string, bed::Value>> ExpectedValues() {
  const std::string address = kAddress;
  return {
      {"Account Name", {REG_SZ, address}},
      {"Connection Type", {REG_DWORD, "\x03\0\0\0"s}},
      {"Leave Mail On Server", {REG_DWORD, "\0\0\0\0"s}},
      {"POP3 Port", {REG_DWORD, "\xe3\x03\0\0"s}},
      {"POP3 Prompt for Password", {REG_DWORD, "\0\0\0\0"s}},
      {"POP3 Secure Connection", {REG_DWORD, "\x01\0\0\0"s}},
      {"POP3 Server", {REG_SZ, kPop3Host + "\0"s}},
      {"POP3 Skip Account", {REG_DWORD, "\0\0\0\0"s}},
      {"POP3 Timeout", {REG_DWORD, "\x3c\0\0\0"s}},
      {"POP3 User Name", {REG_SZ, address}},
      {"SMTP Display Name", {REG_SZ, "Jo Doe"}},
      {"SMTP Email Address", {REG_SZ, address}},
      {"SMTP Port", {REG_DWORD, "\xd1\x01\0\0"s}},
      {"SMTP Prompt for Password", {REG_DWORD, "\x01\0\0\0"s}},
      {"SMTP Secure Connection", {REG_DWORD, "\x01\0\0\0"s}},
      {"SMTP Server", {REG_SZ, kSmtpHost + "\0"s}},
      {"SMTP Split Messages", {REG_DWORD, "\0\0\0\0"s}},
      {"SMTP Timeout", {REG_DWORD, "\x3c\0\0\0"s}},
      {"SMTP Use Sicily", {REG_DWORD, "\x02\0\0\0"s}},
      {"SMTP User Name", {REG_SZ, address}},
  };
}

void ExpectTheTwentyValues(const std::string& key) {
  std::vector<std::string> names;
  for (const auto& [name, expected] : ExpectedValues()) {
    names.push_back(name);
    const std::optional<bed::Value> actual = bed::ReadValue(HKEY_CURRENT_USER, key, name);
    ASSERT_TRUE(actual.has_value()) << name;
    EXPECT_EQ(expected.type, actual->type) << name;
    EXPECT_EQ(expected.bytes, actual->bytes) << name;
  }
  EXPECT_EQ(names, bed::ValueNames(HKEY_CURRENT_USER, key));  // these and no others, in this order
}

// The log's lines from the request on, the closing line cut to its fixed part.
std::vector<std::string> RunAndReadRequestOn(const std::string& arguments, DWORD* exit_code) {
  bed::RemovePath(bed::LogPath());
  const bed::RunResult run = bed::RunPostwright(arguments);
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.timed_out);
  *exit_code = run.exit_code;
  std::vector<std::string> lines = bed::LogLines();
  size_t first = 0;
  while (first < lines.size() && lines[first].rfind("User Entered E-Mail Address: ", 0) != 0) ++first;
  lines.erase(lines.begin(), lines.begin() + first);
  for (std::string& line : lines)
    if (line.rfind("* Configuration ", 0) == 0) line = line.substr(0, line.find(" at ") + 4) + "(time) *";
  return lines;
}

std::vector<std::string> RequestLines(const std::string& overwrite) {
  return {"User Entered E-Mail Address: "s + kAddress,
          "User Entered Display Name: Jo Doe",
          "Make Account Default: No",
          "Overwrite Existing Account: " + overwrite,
          "Client Selected to Configure: Microsoft Outlook Express",
          "",
          "Starting Outlook Express configuration...",
          "",
          "Searching for existing "s + kAddress + " account ... "};
}

std::vector<std::string> SettingsLines(const std::string& key_path) {
  std::vector<std::string> lines = {
      "The following settings were written/overwritten in the system registry:",
      "",
      "Account Name: "s + kAddress,
      "Connection Type: 3",
      "Leave Mail On Server: 0",
      "POP3 Port: 995",
      "POP3 Prompt for Password: 0",
      "POP3 Secure Connection: 1",
      "POP3 Server: "s + kPop3Host,
      "POP3 Skip Account: 0",
      "POP3 Timeout: 60",
      "POP3 User Name: "s + kAddress,
      "SMTP Display Name: Jo Doe",
      "SMTP Email Address: "s + kAddress,
      "SMTP Port: 465",
      "SMTP Prompt for Password: 1",
      "SMTP Secure Connection: 1",
      "SMTP Server: "s + kSmtpHost,
      "SMTP Split Messages: 0",
      "SMTP Timeout: 60",
      "SMTP Use Sicily: 2",
      "SMTP User Name: "s + kAddress,
      "",
      "Writing at RegKey: " + key_path,
      "Email Client Configuration Successful!",
      "",
      "* Configuration Complete at (time) *",
      "",
  };
  return lines;
}

template <typename T>
std::vector<T> Join(std::vector<T> a, const std::vector<T>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class OutlookExpressWineTest : public WineTest {};

TEST_F(OutlookExpressWineTest, ExplicitRunCreatesTheFirstAccountAndMakesItTheDefault) {
  SeedFreshOutlookExpress();
  DWORD exit_code = 99;

  const std::vector<std::string> lines = RunAndReadRequestOn(kRun, &exit_code);

  EXPECT_EQ(kConfigured, exit_code);
  EXPECT_EQ(Join(Join(RequestLines("No"), {"...not found. Creating new account.", ""}), SettingsLines(kKey + "\\")),
            lines);
  ExpectTheTwentyValues(kKey);
  EXPECT_EQ(std::vector<std::string>{kAddress}, bed::Subkeys(HKEY_CURRENT_USER, kRoot));
  const std::optional<bed::Value> default_account = bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account");
  ASSERT_TRUE(default_account.has_value());
  EXPECT_EQ((bed::Value{REG_SZ, kAddress}), *default_account);  // no terminating NUL
}

TEST_F(OutlookExpressWineTest, SecondRunForTheSameAddressStopsUnlessToldToOverwrite) {
  SeedFreshOutlookExpress();
  // The directory-service accounts Outlook Express sets up have no mail address.
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000001", "LDAP Server", "ldap.example.org");
  DWORD exit_code = 99;
  RunAndReadRequestOn(kRun, &exit_code);
  ASSERT_EQ(kConfigured, exit_code);
  EXPECT_FALSE(bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account").has_value())
      << "other accounts existed, and -d was not given";

  // The user edits the account; a second run must not undo that.
  bed::SeedText(HKEY_CURRENT_USER, kKey, "SMTP Display Name", "Jo at home");
  bed::SeedDword(HKEY_CURRENT_USER, kKey, "POP3 Port", 110);
  bed::State before = bed::CaptureState();
  const std::vector<std::string> found = {
      "\tFound address: '' at: " + kRoot + "\\00000001\\",
      "\tFound address: '"s + kAddress + "' at: " + kKey + "\\",
  };

  std::vector<std::string> lines = RunAndReadRequestOn(kRun, &exit_code);
  EXPECT_EQ(kFailed, exit_code);
  EXPECT_EQ(Join(Join(RequestLines("No"), found),
                 {"...found. No changes will be made.",
                  "Email Client Configuration failed with error code: 5",
                  "Description: ERROR: Account was already found, no changes have been made.",
                  "* Configuration Failed at (time) *", ""}),
            lines);
  bed::State after = bed::CaptureState();
  for (bed::State* state : {&before, &after})
    for (auto& [folder, tree] : state->folders) tree.files.erase("Postwright.log");
  EXPECT_EQ("", bed::DescribeChanges(before, after));

  lines = RunAndReadRequestOn(kRun + " -u"s, &exit_code);
  EXPECT_EQ(kConfigured, exit_code);
  EXPECT_EQ(Join(Join(Join(RequestLines("Yes"), found), {"...found. Resetting settings to defaults.", ""}),
                 SettingsLines(kKey + "\\")),
            lines);
  ExpectTheTwentyValues(kKey);
  EXPECT_EQ((std::vector<std::string>{"00000001", kAddress}), bed::Subkeys(HKEY_CURRENT_USER, kRoot));
}

// Outlook Express numbers the keys of the accounts it makes itself: an
// account found in such a key and made the default is named by that key, the
// name Outlook Express looks its default up by.
TEST_F(OutlookExpressWineTest, RewriteMadeDefaultNamesTheNumberedKey) {
  SeedFreshOutlookExpress();
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000001", "SMTP Email Address", "ann@example.org");
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000002", "SMTP Email Address", kAddress);
  bed::SeedText(HKEY_CURRENT_USER, kManager, "Default Mail Account", "00000001");
  DWORD exit_code = 99;

  const std::vector<std::string> lines = RunAndReadRequestOn(kRun + " -u -d"s, &exit_code);

  EXPECT_EQ(kConfigured, exit_code);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ("Writing at RegKey: " + kRoot + "\\00000002\\", lines[lines.size() - 5]);
  ExpectTheTwentyValues(kRoot + "\\00000002");
  EXPECT_EQ((bed::Value{REG_SZ, "00000002"}), bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account"));
  EXPECT_EQ((std::vector<std::string>{"00000001", "00000002"}), bed::Subkeys(HKEY_CURRENT_USER, kRoot));
}

}  // namespace
}  // namespace pw
