// Outlook 2000 accounts written by real runs: Internet Mail Only and
// Corporate/Workgroup mode (where Wine's own mapi32 answers the MAPI step),
// a profiles key the program may not write, and automatic mode.
#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "OutlookWineSupport.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;
using namespace outlook;

constexpr char kAddress[] = "jdoe@quillset.example";
const std::string kManager = "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager";
const std::string kRoot = kManager + "\\Accounts";
const std::string kSetup = "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup";
const std::string kProfile = kProfiles + "\\Outlook";
constexpr char kRun[] = "-n \"Jo Doe\" -c 1 -a jdoe";

Values AccountValues(const std::string& account_name, const std::string& address) {
  return fixtures::Outlook2000Values(account_name, address, "Jo Doe");
}

const Lines kRequest = {"User Entered E-Mail Address: "s + kAddress, "User Entered Display Name: Jo Doe",
                        "Make Account Default: No", "Overwrite Existing Account: No",
                        "Client Selected to Configure: Microsoft Outlook", ""};

Lines Written(const std::string& profile) {
  return Join({"Default Mail Profile is : " + profile, "Starting Outlook configuration...", "",
               "Searching for existant "s + kAddress + " account ... not found. Creating new account.", ""},
              fixtures::Outlook2000Settings(kAddress, kAddress, "Jo Doe"));
}

const Lines kComplete = {"Email Client Configuration Successful!", "", "* Configuration Complete at (time) *", ""};

// Gives the key a security descriptor, e.g. read-only for everyone.
void Protect(const std::string& path, const char* sddl) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor));
  LocalFree(descriptor);
  RegCloseKey(key);
}

// The profiles key may be locked by a test; the bed can only put back what it may remove.
class OutlookWineTest : public WineTest {
 protected:
  void SetUp() override {
    Protect(kProfiles, "D:(A;;KA;;;WD)");
    WineTest::SetUp();
    RegisterOutlook(9);
  }
  void TearDown() override {
    Protect(kProfiles, "D:(A;;KA;;;WD)");
    WineTest::TearDown();
  }
};

TEST_F(OutlookWineTest, InternetMailOnlyWritesTheAccountOnly) {
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun, kRequest[0], &lines);

  EXPECT_EQ(0u, run.exit_code);
  EXPECT_EQ(Join(Join(kRequest, Written("")), kComplete), lines);
  ExpectValues(kRoot + "\\" + kAddress, AccountValues(kAddress, kAddress));
  EXPECT_FALSE(bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account").has_value());
  EXPECT_EQ("", run.out);
}

// Wine's own mapi32 has no profile administration: MAPI cannot even be
// initialised. Without its service the client could not use the account, so
// the account is taken back and the run fails.
TEST_F(OutlookWineTest, CorporateWorkgroupWithoutMapiTakesTheAccountBack) {
  bed::SeedDword(HKEY_CURRENT_USER, kSetup, "MailSupport", 1);
  bed::SeedText(HKEY_CURRENT_USER, kProfiles, "DefaultProfile", "Outlook");
  bed::SeedKey(HKEY_CURRENT_USER, kProfile + "\\0a0d020000000000c000000000000046");
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun, kRequest[0], &lines);

  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ("Error initializing MAPI. hRes = 0x80040605\n", run.out);
  EXPECT_EQ(Join(Join(kRequest, Written("Outlook")),
                 {"Outlook is in Corporate/Workgroup Mode. Creating MAPI Internet Mail Profile...",
                  "Error initializing MAPI. hRes = 0x80040605", "The previous settings were restored.",
                  "Email Client Configuration failed with error code: 7",
                  "Description: ERROR: Unable to save the e-mail settings, no changes have been made.",
                  "* Configuration Failed at (time) *", ""}),
            lines);
  EXPECT_EQ(Lines{"9.0"}, bed::Subkeys(HKEY_CURRENT_USER, "Software\\Microsoft\\Office")) << "no account key stays";
  EXPECT_EQ(Lines{"0a0d020000000000c000000000000046"}, bed::Subkeys(HKEY_CURRENT_USER, kProfile));
}

TEST_F(OutlookWineTest, UnwritableProfilesEndWithTwoAndTheRegistryListing) {
  bed::SeedDword(HKEY_CURRENT_USER, kSetup, "MailSupport", 1);
  bed::SeedText(HKEY_CURRENT_USER, kProfiles, "DefaultProfile", "Outlook");
  bed::SeedKey(HKEY_CURRENT_USER, kProfile + "\\0a0d020000000000c000000000000046");
  Protect(kProfiles, "D:P(A;;KR;;;WD)");
  bed::State before = bed::CaptureState();
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun, kRequest[0], &lines);

  EXPECT_EQ(1u, run.exit_code);
  // The listing opens every key as the writer does, so the locked one shows its error.
  EXPECT_EQ(Join(kRequest, {"Email Client Configuration failed with error code: 2",
                            "Description: ERROR: Unable to automatically configure", "Relevant Registry Structure:",
                            "Profiles", "error: 5", "* Configuration Failed at (time) *", ""}),
            lines);
  bed::State after = bed::CaptureState();
  for (bed::State* state : {&before, &after})
    for (auto& [folder, tree] : state->folders) tree.files.erase("Postwright.log");
  EXPECT_EQ("", bed::DescribeChanges(before, after));
}

TEST_F(OutlookWineTest, AutomaticModeRewritesTheDefaultAccountUnderThePrefixedName) {
  MakeOutlookTheDefaultClient();
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000001", "SMTP Email Address", "jo@example.org");
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000001", "SMTP Display Name", "Jo Doe");
  bed::SeedText(HKEY_CURRENT_USER, kManager, "Default Mail Account", "00000001");
  Lines lines;
  const bed::RunResult run =
      RunAndReadLog("-auto -p \"QS-\" -d", "Automatically Configuring from default email client's default account.", &lines);

  EXPECT_EQ(0u, run.exit_code);
  lines.resize(12);
  EXPECT_EQ((Lines{"Automatically Configuring from default email client's default account.",
                   "Default E-Mail Address: jo@example.org", "Default Display Name: Jo Doe",
                   "Make Account Default: Yes", "Overwrite Existing Account: No",
                   "Client Selected to Configure: Microsoft Outlook", "", "Default Mail Profile is : ",
                   "Starting Outlook configuration...", "",
                   "Searching for existant jo@example.org account ... not found. Creating new account.", ""}),
            lines);
  ExpectValues(kRoot + "\\QS-jo@example.org", AccountValues("QS-jo@example.org", "jo@example.org"));
  // The default names the key written, which the client looks up by name.
  EXPECT_EQ((bed::Value{REG_SZ, "QS-jo@example.org"}),
            bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account"));
  EXPECT_EQ((Lines{"00000001", "QS-jo@example.org"}), bed::Subkeys(HKEY_CURRENT_USER, kRoot));
}

// Outlook numbers the keys of the accounts it makes itself: rewritten and made
// the default, such an account is named the default by its own key name.
TEST_F(OutlookWineTest, RewriteMadeDefaultNamesTheNumberedKey) {
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000001", "SMTP Email Address", "ann@example.org");
  bed::SeedText(HKEY_CURRENT_USER, kRoot + "\\00000002", "SMTP Email Address", kAddress);
  bed::SeedText(HKEY_CURRENT_USER, kManager, "Default Mail Account", "00000001");
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun + " -u -d"s, "Starting Outlook configuration...", &lines);

  EXPECT_EQ(0u, run.exit_code);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("Searching for existant "s + kAddress + " account ...  found. Reseting settings to defaults.", lines[2]);
  ExpectValues(kRoot + "\\00000002", AccountValues(kAddress, kAddress), false);
  EXPECT_EQ((bed::Value{REG_SZ, "00000002"}), bed::ReadValue(HKEY_CURRENT_USER, kManager, "Default Mail Account"));
  EXPECT_EQ((Lines{"00000001", "00000002"}), bed::Subkeys(HKEY_CURRENT_USER, kRoot));
}

}  // namespace
}  // namespace pw
