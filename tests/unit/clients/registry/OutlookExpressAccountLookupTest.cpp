// The lookups automatic mode asks the Outlook Express writer for.
#include <gtest/gtest.h>

#include "clients/registry/OutlookExpressAccountLookup.h"
#include "clients/registry/OutlookExpressAccountWriter.h"
#include "unit/clients/registry/RegistryTestSupport.h"

namespace pw {
namespace {

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kManager = "Software\\Microsoft\\Internet Account Manager";
const std::string kRoot = kManager + "\\Accounts";

class OutlookExpressAccountLookupTest : public ::testing::Test, public LoggedMachine {
 protected:
  OutlookExpressAccountLookupTest() : lookup(machine.registry, log) {}

  void PutAccount(const std::string& key_name, const std::string& address, const std::string& display_name) {
    machine.registry.PutText(kHkcu, kRoot + "\\" + key_name, "SMTP Email Address", address);
    machine.registry.PutText(kHkcu, kRoot + "\\" + key_name, "SMTP Display Name", display_name);
  }
  void SetDefault(const std::string& key_name) {
    machine.registry.PutText(kHkcu, kManager, "Default Mail Account", key_name);
  }

  OutlookExpressAccountLookup lookup;
};

TEST_F(OutlookExpressAccountLookupTest, DefaultAccountIsTheManagersValue) {
  PutAccount("00000002", "jdoe@example.org", "Jo Doe");
  SetDefault("00000002");
  EXPECT_EQ("00000002", lookup.GetDefAcct());
  EXPECT_EQ("GetDefAcct Test Result: 0\r\nResult: 00000002\r\n", LogText());

  // Stored by this program (no NUL) and longer than any fixed buffer: read whole.
  const std::string long_name(150, 'k');
  machine.registry.Put(kHkcu, kManager, "Default Mail Account", regtype::kSz, long_name);
  EXPECT_EQ(long_name, lookup.GetDefAcct());
}

TEST_F(OutlookExpressAccountLookupTest, NoDefaultAccountIsAnError) {
  EXPECT_EQ(std::nullopt, lookup.GetDefAcct());
  EXPECT_EQ("GetDefAcct Test Result: 2\r\n", LogText());

  // The manager key without the value: an empty name would mean the account root itself.
  machine.registry.PutKey(kHkcu, kManager);
  EXPECT_EQ(std::nullopt, lookup.GetDefAcct());
  SetDefault("");
  EXPECT_EQ(std::nullopt, lookup.GetDefAcct());
  EXPECT_EQ(
      "GetDefAcct Test Result: 2\r\n"
      "GetDefAcct Test Result: 0\r\nResult: *ERROR*\r\n"
      "GetDefAcct Test Result: 0\r\nResult: *ERROR*\r\n",
      LogText());
}

TEST_F(OutlookExpressAccountLookupTest, AddressAndDisplayNameOfAnAccount) {
  PutAccount("00000002", "jdoe@example.org", "Jo Doe");
  EXPECT_EQ("jdoe@example.org", lookup.GetAcctAddr("00000002"));
  EXPECT_EQ("Jo Doe", lookup.GetAcctDisplayName("00000002"));
  EXPECT_EQ("GetAcctAddr Test Result: 0\r\nResult: jdoe@example.org\r\n", LogText());

  EXPECT_EQ(std::nullopt, lookup.GetAcctAddr("*ERROR*"));
  EXPECT_EQ(std::nullopt, lookup.GetAcctAddr(std::nullopt));  // no account: not found, as for a missing key
  EXPECT_EQ(std::nullopt, lookup.GetAcctDisplayName("00000009"));
  EXPECT_EQ(
      "GetAcctAddr Test Result: 0\r\nResult: jdoe@example.org\r\nGetAcctAddr Test Result: 2\r\n"
      "GetAcctAddr Test Result: 2\r\n",
      LogText());

  // An account without the values gives empty texts, not errors.
  machine.registry.PutKey(kHkcu, kRoot + "\\00000003");
  EXPECT_EQ("", lookup.GetAcctAddr("00000003"));
  EXPECT_EQ("", lookup.GetAcctDisplayName("00000003"));
}

TEST_F(OutlookExpressAccountLookupTest, SearchFindsTheFirstAddressContainingTheText) {
  PutAccount("00000001", "ann@example.org", "Ann");
  PutAccount("00000002", "jdoe@example.org", "Jo Doe");
  PutAccount("00000003", "jdoe@example.net", "Jo Doe");

  EXPECT_EQ("00000002", lookup.FindAcctByText("jdoe"));
  EXPECT_EQ("00000003", lookup.FindAcctByText("example.net"));
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("JDOE"));  // letter case counts
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("nobody"));

  const std::string long_address = std::string(120, 'z') + "@example.org";
  PutAccount("00000004", long_address, "Zed");
  EXPECT_EQ("00000004", lookup.FindAcctByText(std::string(110, 'z') + "@example"));
}

TEST_F(OutlookExpressAccountLookupTest, SearchLineIsLeftOpenForTheNextLookup) {
  PutAccount("00000002", "jdoe@example.org", "Jo Doe");
  EXPECT_EQ("00000002", lookup.FindAcctByText("jdoe"));
  EXPECT_EQ("", LogText());  // the line has not ended yet
  lookup.GetAcctAddr("00000002");
  // The writer of an automatic run starts with an empty address.
  EXPECT_EQ("Searching for existant  account ... GetAcctAddr Test Result: 0\r\nResult: jdoe@example.org\r\n",
            LogText());
}

TEST_F(OutlookExpressAccountLookupTest, SearchWithoutAccountRootCreatesItAndFindsNothing) {
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("jdoe"));
  EXPECT_TRUE(machine.registry.HasKey(kHkcu, kRoot));

  // An account key the search may not open for writing is passed over.
  PutAccount("00000001", "jdoe@example.org", "Jo Doe");
  machine.registry.DenyWrite(kHkcu, kRoot + "\\00000001");
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("jdoe"));
}

// How automatic mode drives the lookup and the writer: look up, then configure.
TEST_F(OutlookExpressAccountLookupTest, AutomaticRunRewritesTheDefaultAccountUnderThePrefixedName) {
  PutAccount("00000002", "jdoe@example.org", "Jo Doe");
  SetDefault("00000002");

  const std::optional<std::string> key = lookup.GetDefAcct();
  const AccountRequest request{lookup.GetAcctAddr(key).value(), lookup.GetAcctDisplayName(key).value(), false, false};
  OutlookExpressAccountWriter writer(request, std::string("QS-"), machine.registry, log);

  EXPECT_EQ(0, writer.Configure());
  RegValue value;
  ASSERT_TRUE(machine.registry.Get(kHkcu, kRoot + "\\QS-jdoe@example.org", "Account Name", &value));
  EXPECT_EQ("QS-jdoe@example.org", value.data);
  ASSERT_TRUE(machine.registry.Get(kHkcu, kRoot + "\\QS-jdoe@example.org", "SMTP Display Name", &value));
  EXPECT_EQ("Jo Doe", value.data);
  EXPECT_NE(std::string::npos, LogText().find("Searching for existing jdoe@example.org account ... \r\n"
                                               "...not found. Creating new account.\r\n"));

  // A second automatic run finds its own key.
  EXPECT_EQ(6, OutlookExpressAccountWriter(request, std::string("QS-"), machine.registry, log).Configure());
}

}  // namespace
}  // namespace pw
