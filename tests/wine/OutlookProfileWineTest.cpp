// Outlook 2002 and later accounts written by real runs into a seeded profile's
// account store: a first account, a rewrite made default, a profile without a
// store (with the registry listing), and automatic mode. The store's
// bookkeeping is read back byte for byte after each.
#include <windows.h>

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
const std::string kStore = kProfiles + "\\Main\\9375CFF0413111d3B88A00104B2A6676";
const std::string kOrder = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
constexpr char kRun[] = "-n \"Jo Doe\" -c 1 -a jdoe";

// "NextAccountID", the account order and "LastChangeVer", as they must stand.
void ExpectBookkeeping(DWORD next_account_id, const std::string& order, const std::string& change_ver) {
  ExpectValues(kStore,
               {{"NextAccountID", REG_DWORD, bed::DwordBytes(next_account_id)},
                {kOrder, REG_BINARY, order},
                {"LastChangeVer", REG_BINARY, change_ver}},
               false);
}

void SeedProfile() {
  bed::SeedText(HKEY_CURRENT_USER, kProfiles, "DefaultProfile", "Main");
  bed::SeedKey(HKEY_CURRENT_USER, kProfiles + "\\Main\\0a0d020000000000c000000000000046");
  bed::SeedKey(HKEY_CURRENT_USER, kStore);
}

void SeedAccount(const std::string& key_name, const std::string& address) {
  for (const char* name : {"Account Name", "Email"})
    bed::SeedValue(HKEY_CURRENT_USER, kStore + "\\" + key_name, name, REG_BINARY, fixtures::Utf16(address));
  bed::SeedValue(HKEY_CURRENT_USER, kStore + "\\" + key_name, "Display Name", REG_BINARY, fixtures::Utf16("Jo Doe"));
}

Lines Request(const std::string& make_default, const std::string& overwrite) {
  return {"User Entered E-Mail Address: "s + kAddress, "User Entered Display Name: Jo Doe",
          "Make Account Default: " + make_default, "Overwrite Existing Account: " + overwrite,
          "Client Selected to Configure: Microsoft Outlook", "", "Starting Outlook configuration..."};
}

Lines Written(const std::string& outcome) {
  return Join(Join({"Searching for existant "s + kAddress + " account ... " + outcome},
                   fixtures::ProfileSettings(kAddress, kAddress, "Jo Doe")),
              {"Email Client Configuration Successful!", "", "* Configuration Complete at (time) *", ""});
}

Values AccountValues(const std::string& account_name, const std::string& address) {
  return fixtures::ProfileAccountValues(account_name, address, "Jo Doe");
}

class OutlookProfileWineTest : public WineTest {};

TEST_F(OutlookProfileWineTest, FirstAccountOfOutlook2003) {
  RegisterOutlook(11);
  SeedProfile();
  bed::SeedDword(HKEY_CURRENT_USER, kStore, "NextAccountID", 1);
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun, Request("No", "No")[0], &lines);

  EXPECT_EQ(0u, run.exit_code);
  EXPECT_EQ(Join(Request("No", "No"), Written("not found. Creating new account.")), lines);
  ExpectValues(kStore + "\\00000001", AccountValues(kAddress, kAddress));
  ExpectBookkeeping(2, "\x01\0\0\0"s, "\x01\0\0\0\0\0\0\0"s);
}

TEST_F(OutlookProfileWineTest, RewriteMadeDefaultOfOutlook2007) {
  RegisterOutlook(12);
  SeedProfile();
  SeedAccount("00000001", "ann@example.org");
  SeedAccount("00000002", "JDoe@Quillset.example");
  bed::SeedDword(HKEY_CURRENT_USER, kStore, "NextAccountID", 3);
  bed::SeedValue(HKEY_CURRENT_USER, kStore, kOrder, REG_BINARY, "\x01\0\0\0\x02\0\0\0"s);
  bed::SeedValue(HKEY_CURRENT_USER, kStore, "LastChangeVer", REG_BINARY, "\x05\0\0\0\0\0\0\0"s);
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun + " -d -u"s, Request("Yes", "Yes")[0], &lines);

  EXPECT_EQ(0u, run.exit_code);
  EXPECT_EQ(Join(Request("Yes", "Yes"), Written(" found. Reseting settings to defaults.")), lines);
  ExpectValues(kStore + "\\00000002", AccountValues(kAddress, kAddress), false);
  ExpectBookkeeping(3, "\x02\0\0\0\x01\0\0\0"s, "\x06\0\0\0\0\0\0\0"s);
  EXPECT_EQ((Lines{"00000001", "00000002"}), bed::Subkeys(HKEY_CURRENT_USER, kStore));
}

TEST_F(OutlookProfileWineTest, ProfileWithoutAccountStoreEndsWithThreeAndTheRegistryListing) {
  RegisterOutlook(11);
  bed::SeedText(HKEY_CURRENT_USER, kProfiles, "DefaultProfile", "Main");
  bed::SeedKey(HKEY_CURRENT_USER, kProfiles + "\\Main\\0a0d020000000000c000000000000046\\sub");
  bed::SeedKey(HKEY_CURRENT_USER, kProfiles + "\\Other\\13dbb0c8aa05101a9bb000aa002fc45a");
  const bed::State before = bed::CaptureState();
  Lines lines;
  const bed::RunResult run = RunAndReadLog(kRun, Request("No", "No")[0], &lines);

  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ(Join(Request("No", "No"),
                 {"Email Client Configuration failed with error code: 3",
                  "Description: ERROR: Outlook has not been run for the first time. Please run and close Outlook and "
                  "try again.",
                  "Relevant Registry Structure:", "Profiles", "   Main", "      0a0d020000000000c000000000000046",
                  "         sub", "   Other", "      13dbb0c8aa05101a9bb000aa002fc45a",
                  "* Configuration Failed at (time) *", ""}),
            lines);
  EXPECT_TRUE(before.trees == bed::CaptureState().trees) << "no registry change";
}

TEST_F(OutlookProfileWineTest, AutomaticModeAddsTheAccountUnderThePrefixedName) {
  RegisterOutlook(12);
  MakeOutlookTheDefaultClient();
  SeedProfile();
  SeedAccount("00000003", "jo@example.org");
  bed::SeedDword(HKEY_CURRENT_USER, kStore, "NextAccountID", 4);
  bed::SeedValue(HKEY_CURRENT_USER, kStore, kOrder, REG_BINARY, "\x03\0\0\0"s);
  Lines lines;
  const bed::RunResult run =
      RunAndReadLog("-auto -p \"QS-\"", "Automatically Configuring from default email client's default account.", &lines);

  EXPECT_EQ(0u, run.exit_code);
  lines.resize(9);
  EXPECT_EQ((Lines{"Automatically Configuring from default email client's default account.",
                   "Default E-Mail Address: jo@example.org", "Default Display Name: Jo Doe",
                   "Make Account Default: No", "Overwrite Existing Account: No",
                   "Client Selected to Configure: Microsoft Outlook", "", "Starting Outlook configuration...",
                   "Searching for existant jo@example.org account ... not found. Creating new account."}),
            lines);
  ExpectValues(kStore + "\\00000004", AccountValues("QS-jo@example.org", "jo@example.org"));
  ExpectBookkeeping(5, "\x03\0\0\0\x04\0\0\0"s, "\x01\0\0\0\0\0\0\0"s);
}

// Outlook 2016 keeps its profiles below its own Office key. A profile an
// older Outlook left below the Windows Messaging Subsystem is not its own:
// the account goes into the Office profile, the old one stays as it was.
TEST_F(OutlookProfileWineTest, Outlook2016WithAStaleOlderProfile) {
  const std::string office = "Software\\Microsoft\\Office\\16.0\\Outlook";
  const std::string office_store = office + "\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676";
  const std::string messaging = "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
  RegisterOutlook(16);
  SeedProfile();
  SeedAccount("00000001", "old@example.org");
  bed::SeedDword(HKEY_CURRENT_USER, kStore, "NextAccountID", 2);

  // Never run yet: no profile of its own, however many older ones there are.
  const bed::State untouched = bed::CaptureState();
  Lines lines;
  bed::RunResult run = RunAndReadLog(kRun, Request("No", "No")[0], &lines);
  EXPECT_EQ(1u, run.exit_code);
  const Lines asked = Request("No", "No");
  EXPECT_EQ(Join(Lines(asked.begin(), asked.end() - 1),  // it stops before it starts
                 {"Email Client Configuration failed with error code: 3",
                  "Description: ERROR: Outlook has not been run for the first time. Please run and close Outlook and "
                  "try again.",
                  "Relevant Registry Structure:", "error: 2", "* Configuration Failed at (time) *", ""}),
            lines);
  EXPECT_TRUE(untouched.trees == bed::CaptureState().trees) << "no registry change";

  bed::SeedText(HKEY_CURRENT_USER, office, "DefaultProfile", "Outlook");
  bed::SeedKey(HKEY_CURRENT_USER, office + "\\Profiles\\Outlook\\0a0d020000000000c000000000000046");
  bed::SeedKey(HKEY_CURRENT_USER, office_store);
  const bed::State before = bed::CaptureState();
  run = RunAndReadLog(kRun + " -d"s, Request("Yes", "No")[0], &lines);

  EXPECT_EQ(0u, run.exit_code);
  EXPECT_EQ(Join(Request("Yes", "No"), Written("not found. Creating new account.")), lines);
  ExpectValues(office_store + "\\00000001", AccountValues(kAddress, kAddress));
  ExpectValues(office_store,
               {{"NextAccountID", REG_DWORD, bed::DwordBytes(2)},
                {kOrder, REG_BINARY, "\x01\0\0\0"s},
                {"LastChangeVer", REG_BINARY, "\x01\0\0\0\0\0\0\0"s}});
  EXPECT_TRUE(before.trees.at(messaging) == bed::CaptureState().trees.at(messaging)) << "the older profile changed";
}

}  // namespace
}  // namespace pw
