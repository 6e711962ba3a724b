#include "clients/registry/OutlookExpressAccountWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/ProviderSettings.h"
#include "platform/fault/FaultInjecting.h"
#include "unit/clients/registry/RegistryTestSupport.h"

namespace pw {
namespace {

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kManager = "Software\\Microsoft\\Internet Account Manager";
const std::string kRoot = kManager + "\\Accounts";
const std::string kAddress = "jdoe@example.org";

std::string Pop3Host() { return kProvider.pop3_host; }
std::string SmtpHost() { return kProvider.smtp_host; }

AccountRequest Request(const std::string& address, bool make_default, bool overwrite) {
  return AccountRequest{address, "Jo Doe", make_default, overwrite};
}

// An account as Outlook Express itself names them.
void PutAccount(MemoryRegistry& registry, const std::string& key_name, const std::string& address) {
  registry.PutText(kHkcu, kRoot + "\\" + key_name, "SMTP Email Address", address);
  registry.PutText(kHkcu, kRoot + "\\" + key_name, "Account Name", "Mail of " + address);
}

std::string Dword(uint32_t v) { return RegDwordBytes(v); }

// The twenty values, type and bytes, that a request for `address` shown as
// "Jo Doe" leaves in an account key.
std::vector<std::pair<std::string, RegValue>> ExpectedValues(const std::string& account_name,
                                                             const std::string& address) {
  return {
      {"Account Name", {regtype::kSz, account_name}},
      {"Connection Type", {regtype::kDword, std::string("\x03\0\0\0", 4)}},
      {"Leave Mail On Server", {regtype::kDword, Dword(0)}},
      {"POP3 Port", {regtype::kDword, std::string("\xe3\x03\0\0", 4)}},
      {"POP3 Prompt for Password", {regtype::kDword, Dword(0)}},
      {"POP3 Secure Connection", {regtype::kDword, Dword(1)}},
      {"POP3 Server", {regtype::kSz, Pop3Host() + '\0'}},
      {"POP3 Skip Account", {regtype::kDword, Dword(0)}},
      {"POP3 Timeout", {regtype::kDword, std::string("\x3c\0\0\0", 4)}},
      {"POP3 User Name", {regtype::kSz, address}},
      {"SMTP Display Name", {regtype::kSz, "Jo Doe"}},
      {"SMTP Email Address", {regtype::kSz, address}},
      {"SMTP Port", {regtype::kDword, std::string("\xd1\x01\0\0", 4)}},
      {"SMTP Prompt for Password", {regtype::kDword, Dword(1)}},
      {"SMTP Secure Connection", {regtype::kDword, Dword(1)}},
      {"SMTP Server", {regtype::kSz, SmtpHost() + '\0'}},
      {"SMTP Split Messages", {regtype::kDword, Dword(0)}},
      {"SMTP Timeout", {regtype::kDword, Dword(60)}},
      {"SMTP Use Sicily", {regtype::kDword, Dword(2)}},
      {"SMTP User Name", {regtype::kSz, address}},
  };
}

void ExpectAccountValues(MemoryRegistry& registry, const std::string& key_name, const std::string& account_name,
                         const std::string& address) {
  const std::string path = kRoot + "\\" + key_name;
  for (const auto& expected : ExpectedValues(account_name, address)) {
    RegValue actual;
    ASSERT_TRUE(registry.Get(kHkcu, path, expected.first, &actual)) << expected.first;
    EXPECT_EQ(expected.second.type, actual.type) << expected.first;
    EXPECT_EQ(expected.second.data, actual.data) << expected.first;
  }
}

std::vector<std::string> ExpectedNames() {
  std::vector<std::string> names;
  for (const auto& v : ExpectedValues("", "")) names.push_back(v.first);
  return names;
}

std::string DefaultMailAccount(MemoryRegistry& registry) {
  RegValue value;
  if (!registry.Get(kHkcu, kManager, "Default Mail Account", &value)) return "(none)";
  EXPECT_EQ(regtype::kSz, value.type);
  return value.data;
}

// From the heading to "Writing at RegKey", as a CR LF text.
std::string SettingsBlock(const std::string& account_name, const std::string& address, const std::string& key_path) {
  return "The following settings were written/overwritten in the system registry:\r\n"
         "\r\n"
         "Account Name: " + account_name + "\r\n"
         "Connection Type: 3\r\n"
         "Leave Mail On Server: 0\r\n"
         "POP3 Port: 995\r\n"
         "POP3 Prompt for Password: 0\r\n"
         "POP3 Secure Connection: 1\r\n"
         "POP3 Server: " + Pop3Host() + "\r\n"
         "POP3 Skip Account: 0\r\n"
         "POP3 Timeout: 60\r\n"
         "POP3 User Name: " + address + "\r\n"
         "SMTP Display Name: Jo Doe\r\n"
         "SMTP Email Address: " + address + "\r\n"
         "SMTP Port: 465\r\n"
         "SMTP Prompt for Password: 1\r\n"
         "SMTP Secure Connection: 1\r\n"
         "SMTP Server: " + SmtpHost() + "\r\n"
         "SMTP Split Messages: 0\r\n"
         "SMTP Timeout: 60\r\n"
         "SMTP Use Sicily: 2\r\n"
         "SMTP User Name: " + address + "\r\n"
         "\r\n"
         "Writing at RegKey: " + key_path + "\r\n";
}

const char kStart[] = "Starting Outlook Express configuration...\r\n\r\n";

std::string SearchLine(const std::string& address) { return "Searching for existing " + address + " account ... \r\n"; }

std::string FoundLine(const std::string& address, const std::string& key_name) {
  return "\tFound address: '" + address + "' at: " + kRoot + "\\" + key_name + "\\\r\n";
}

class OutlookExpressAccountWriterTest : public ::testing::Test, public LoggedMachine {
 protected:
  MemoryRegistry& registry() { return machine.registry; }
  ConfigureResult Configure(const AccountRequest& request) {
    return OutlookExpressAccountWriter(request, std::nullopt, registry(), log).Configure();
  }
  ConfigureResult ConfigureAutomatic(const std::string& prefix, const AccountRequest& request) {
    return OutlookExpressAccountWriter(request, prefix, registry(), log).Configure();
  }
};

TEST_F(OutlookExpressAccountWriterTest, FirstAccountIsCreatedNamedAfterTheAddressAndBecomesTheDefault) {
  registry().PutKey(kHkcu, kRoot);

  EXPECT_EQ(0, Configure(Request(kAddress, /*make_default=*/false, /*overwrite=*/false)));

  const std::string key_path = kRoot + "\\" + kAddress + "\\";
  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + "...not found. Creating new account.\r\n\r\n" +
                SettingsBlock(kAddress, kAddress, key_path),
            LogText());
  EXPECT_EQ(ExpectedNames(), registry().ValueNames(kHkcu, kRoot + "\\" + kAddress));
  ExpectAccountValues(registry(), kAddress, kAddress, kAddress);
  EXPECT_EQ(kAddress, DefaultMailAccount(registry()));  // no NUL, asked for or not
}

TEST_F(OutlookExpressAccountWriterTest, DefaultAccountChangesOnlyWhenAskedOnceAccountsExist) {
  PutAccount(registry(), "00000001", "ann@example.org");
  registry().PutText(kHkcu, kManager, "Default Mail Account", "00000001");

  EXPECT_EQ(0, Configure(Request(kAddress, false, false)));
  EXPECT_EQ(std::string("00000001") + '\0', DefaultMailAccount(registry()));

  EXPECT_EQ(0, Configure(Request("bob@example.org", /*make_default=*/true, false)));
  EXPECT_EQ("bob@example.org", DefaultMailAccount(registry()));
}

TEST_F(OutlookExpressAccountWriterTest, AddressDifferingOnlyInCaseIsANewAccountBesideTheOld) {
  PutAccount(registry(), "00000001", "JDoe@example.org");
  const std::string before = DumpRegistry(registry(), kHkcu, kRoot + "\\00000001");

  EXPECT_EQ(0, Configure(Request(kAddress, false, false)));

  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + FoundLine("JDoe@example.org", "00000001") +
                "...not found. Creating new account.\r\n\r\n" +
                SettingsBlock(kAddress, kAddress, kRoot + "\\" + kAddress + "\\"),
            LogText());
  EXPECT_EQ(before, DumpRegistry(registry(), kHkcu, kRoot + "\\00000001"));
  ExpectAccountValues(registry(), kAddress, kAddress, kAddress);
  EXPECT_EQ("(none)", DefaultMailAccount(registry()));
}

TEST_F(OutlookExpressAccountWriterTest, MatchWithoutOverwriteChangesNothing) {
  PutAccount(registry(), "00000001", "ann@example.org");
  PutAccount(registry(), "00000002", kAddress);
  const std::string before = DumpRegistry(registry(), kHkcu, kManager);

  EXPECT_EQ(5, Configure(Request(kAddress, true, false)));

  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + FoundLine("ann@example.org", "00000001") +
                FoundLine(kAddress, "00000002") + "...found. No changes will be made.\r\n",
            LogText());
  EXPECT_EQ(before, DumpRegistry(registry(), kHkcu, kManager));
}

TEST_F(OutlookExpressAccountWriterTest, MatchWithOverwriteRewritesTheAccountInItsOwnKeyAndStopsAtTheFirstMatch) {
  PutAccount(registry(), "00000001", "ann@example.org");
  PutAccount(registry(), "00000002", kAddress);
  registry().PutText(kHkcu, kRoot + "\\00000002", "Account ID", "keep me");
  PutAccount(registry(), "00000003", kAddress);  // a second match is never looked at
  const std::string third = DumpRegistry(registry(), kHkcu, kRoot + "\\00000003");

  EXPECT_EQ(0, Configure(Request(kAddress, /*make_default=*/true, /*overwrite=*/true)));

  const std::string key_path = kRoot + "\\00000002\\";
  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + FoundLine("ann@example.org", "00000001") +
                FoundLine(kAddress, "00000002") + "...found. Resetting settings to defaults.\r\n\r\n" +
                SettingsBlock(kAddress, kAddress, key_path),
            LogText());
  ExpectAccountValues(registry(), "00000002", kAddress, kAddress);
  RegValue kept;
  ASSERT_TRUE(registry().Get(kHkcu, kRoot + "\\00000002", "Account ID", &kept));
  EXPECT_EQ(std::string("keep me") + '\0', kept.data);
  EXPECT_EQ(third, DumpRegistry(registry(), kHkcu, kRoot + "\\00000003"));
  EXPECT_FALSE(registry().HasKey(kHkcu, kRoot + "\\" + kAddress));
  EXPECT_EQ("00000002", DefaultMailAccount(registry()));  // the client finds its default by key name
}

// The registry ignores case in key names: "creating" the key of a new account
// whose name another key already has would silently overwrite that account.
TEST_F(OutlookExpressAccountWriterTest, KeyAlreadyNamedAfterTheAddressCountsAsFound) {
  PutAccount(registry(), "JDOE@example.org", "JDoe@example.org");
  const std::string before = DumpRegistry(registry(), kHkcu, kManager);

  EXPECT_EQ(5, Configure(Request(kAddress, false, false)));
  EXPECT_EQ(before, DumpRegistry(registry(), kHkcu, kManager));
  EXPECT_NE(std::string::npos, LogText().find("...found. No changes will be made.\r\n"));

  EXPECT_EQ(0, Configure(Request(kAddress, false, true)));
  EXPECT_NE(std::string::npos, LogText().find("Writing at RegKey: " + kRoot + "\\JDOE@example.org\\\r\n"));
  ExpectAccountValues(registry(), "JDOE@example.org", kAddress, kAddress);
}

TEST_F(OutlookExpressAccountWriterTest, AutomaticModeComparesOnlyKeyNames) {
  PutAccount(registry(), "00000001", kAddress);  // same address, other name: not identical
  registry().PutText(kHkcu, kManager, "Default Mail Account", "00000001");

  EXPECT_EQ(0, ConfigureAutomatic("QS-", Request(kAddress, false, false)));

  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + "...not found. Creating new account.\r\n\r\n" +
                SettingsBlock("QS-" + kAddress, kAddress, kRoot + "\\QS-" + kAddress + "\\"),
            LogText());
  ExpectAccountValues(registry(), "QS-" + kAddress, "QS-" + kAddress, kAddress);
  EXPECT_EQ(std::string("00000001") + '\0', DefaultMailAccount(registry()));
}

TEST_F(OutlookExpressAccountWriterTest, AutomaticModeQuitsOrResetsWhenThePrefixedKeyExists) {
  PutAccount(registry(), "00000001", "ann@example.org");
  PutAccount(registry(), "qs-" + kAddress, kAddress);  // letter case of a key name does not matter
  const std::string before = DumpRegistry(registry(), kHkcu, kManager);

  EXPECT_EQ(6, ConfigureAutomatic("QS-", Request(kAddress, true, false)));
  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + "...found. Quitting.\r\n", LogText());
  EXPECT_EQ(before, DumpRegistry(registry(), kHkcu, kManager));

  const size_t first_run = LogText().size();
  EXPECT_EQ(0, ConfigureAutomatic("QS-", Request(kAddress, true, true)));
  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + "...found. Resetting settings to defaults.\r\n\r\n" +
                SettingsBlock("QS-" + kAddress, kAddress, kRoot + "\\QS-" + kAddress + "\\"),
            LogText().substr(first_run));
  ExpectAccountValues(registry(), "qs-" + kAddress, "QS-" + kAddress, kAddress);
  EXPECT_EQ("qs-" + kAddress, DefaultMailAccount(registry()));
}

TEST_F(OutlookExpressAccountWriterTest, UnusableAccountRootEndsAfterTheStartLine) {
  EXPECT_EQ(1, Configure(Request(kAddress, true, true)));
  EXPECT_EQ(kStart, LogText());
  EXPECT_FALSE(registry().HasKey(kHkcu, kManager));

  registry().PutKey(kHkcu, kRoot);
  registry().DenyWrite(kHkcu, kRoot);  // readable, but the writer needs all access
  const std::string before = DumpRegistry(registry(), kHkcu, "Software");
  EXPECT_EQ(1, Configure(Request(kAddress, true, true)));
  EXPECT_EQ(std::string(kStart) + kStart, LogText());
  EXPECT_EQ(before, DumpRegistry(registry(), kHkcu, "Software"));
}

TEST_F(OutlookExpressAccountWriterTest, UnreadableAccountsAreListedWithAnEmptyAddress) {
  PutAccount(registry(), "00000001", kAddress);
  registry().DenyWrite(kHkcu, kRoot + "\\00000001");  // must be opened for writing to be searched
  registry().PutKey(kHkcu, kRoot + "\\00000002");     // no address at all

  EXPECT_EQ(0, Configure(Request(kAddress, false, false)));
  EXPECT_EQ(std::string(kStart) + SearchLine(kAddress) + FoundLine("", "00000001") + FoundLine("", "00000002") +
                "...not found. Creating new account.\r\n\r\n" +
                SettingsBlock(kAddress, kAddress, kRoot + "\\" + kAddress + "\\"),
            LogText());
}

// A fixed buffer would have cut these short and never matched them.
TEST_F(OutlookExpressAccountWriterTest, LongAddressesAreComparedWhole) {
  const std::string long_address = std::string(130, 'a') + "@example.org";
  PutAccount(registry(), "00000001", long_address);

  EXPECT_EQ(5, Configure(Request(long_address, false, false)));
  EXPECT_NE(std::string::npos, LogText().find(FoundLine(long_address, "00000001")));
  EXPECT_FALSE(registry().HasKey(kHkcu, kRoot + "\\" + long_address));
}

// The log from the "Writing at RegKey" line on.
std::string TailFromKeyLine(const std::string& log) { return log.substr(log.find("Writing at RegKey: ")); }

// A change of the write fails: 7, the registry exactly as it was, and the log
// says so. (The fault walk fails every change in turn.)
void ExpectFailedWriteIsUndone(MemoryRegistry& registry, const AccountRequest& request, const std::string& key_path) {
  const std::string before = DumpRegistry(registry, kHkcu, "Software");
  MemoryFileSystem files;
  MemoryClock clock;
  files.PutFolder("C:\\L");
  RunLog log;
  EXPECT_EQ(err::kSuccess, log.Open(files, clock, "C:\\L\\Postwright.log"));
  FaultPlan plan;
  FaultInjectingRegistry faulty(registry, plan);
  plan.FailNthMutation(5, err::kWriteFault);
  OutlookExpressAccountWriter writer(request, std::nullopt, faulty, log);
  EXPECT_EQ(7, writer.Configure());
  EXPECT_EQ(before, DumpRegistry(registry, kHkcu, "Software"));
  EXPECT_EQ("Writing at RegKey: " + key_path + "\r\n"
            "Unable to write the settings (error code: 29).\r\n"
            "The previous settings were restored.\r\n",
            TailFromKeyLine(files.FileBytes("C:\\L\\Postwright.log")));
}

TEST_F(OutlookExpressAccountWriterTest, FailedWriteOfANewAccountLeavesNoTrace) {
  registry().PutKey(kHkcu, kRoot);
  ExpectFailedWriteIsUndone(registry(), Request(kAddress, false, false), kRoot + "\\" + kAddress + "\\");
}

TEST_F(OutlookExpressAccountWriterTest, FailedOverwriteBringsTheOldAccountBack) {
  PutAccount(registry(), "00000002", kAddress);
  registry().PutDword(kHkcu, kRoot + "\\00000002", "POP3 Port", 110);
  registry().PutText(kHkcu, kManager, "Default Mail Account", "00000002");
  ExpectFailedWriteIsUndone(registry(), Request(kAddress, /*make_default=*/true, /*overwrite=*/true),
                                 kRoot + "\\00000002\\");
}

TEST_F(OutlookExpressAccountWriterTest, UndoThatFailsTooSaysSo) {
  registry().PutKey(kHkcu, kRoot);
  registry().DenyWrite(kHkcu, kManager);  // the default account cannot be set
  FaultPlan plan;
  FaultInjectingRegistry faulty(registry(), plan);
  // 22 changes reach the manager key; the first of the undo is the 23rd, the
  // key's removal the 43rd.
  plan.FailNthMutation(43, err::kAccessDenied);
  OutlookExpressAccountWriter writer(Request(kAddress, false, false), std::nullopt, faulty, log);

  EXPECT_EQ(7, writer.Configure());

  EXPECT_EQ("Writing at RegKey: " + kRoot + "\\" + kAddress + "\\\r\n"
            "Unable to write the settings (error code: 5).\r\n"
            "Unable to restore the previous settings (error code: 5).\r\n",
            TailFromKeyLine(LogText()));
  // Every value is gone again, but the empty key stayed.
  EXPECT_TRUE(registry().HasKey(kHkcu, kRoot + "\\" + kAddress));
  EXPECT_EQ(std::vector<std::string>{}, registry().ValueNames(kHkcu, kRoot + "\\" + kAddress));
}

}  // namespace
}  // namespace pw
