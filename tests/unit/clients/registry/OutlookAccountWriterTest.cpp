// Outlook 2000: the account in the OMI Account Manager's keys in both mail
// modes, and in Corporate/Workgroup mode the MAPI service of a new account.
#include "clients/registry/OutlookAccountWriter.h"

#include <gtest/gtest.h>

#include "clients/registry/OutlookAccountLookup.h"
#include "platform/fault/FaultInjecting.h"
#include "unit/clients/registry/OutlookTestSupport.h"

namespace pw {
namespace {

using namespace std::string_literals;

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kManager = "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager";
const std::string kRoot = kManager + "\\Accounts";
const std::string kSetup = "Software\\Microsoft\\Office\\9.0\\Outlook\\Setup";
const std::string kProfile = kProfilesKey + "\\Outlook";
const std::string kAddress = "jdoe@example.org";
const char kCorporateLine[] = "Outlook is in Corporate/Workgroup Mode. Creating MAPI Internet Mail Profile...\r\n";

AccountRequest Request(bool make_default, bool overwrite) { return {kAddress, "Jo Doe", make_default, overwrite}; }

struct OutlookMachine : LoggedMachine {
  MemoryRegistry& registry = machine.registry;

  ConfigureResult Configure(const AccountRequest& request, const AutomaticPrefix& prefix = std::nullopt) {
    return OutlookAccountWriter(request, prefix, registry, machine.mapi, machine.std_out, log).Configure();
  }
  // Corporate/Workgroup mode, with a default profile "Outlook" that has a section.
  void CorporateWorkgroup() {
    registry.PutDword(kHkcu, kSetup, "MailSupport", 1);
    registry.PutText(kHkcu, kProfilesKey, "DefaultProfile", "Outlook");
    registry.PutKey(kHkcu, kProfile + "\\0a0d020000000000c000000000000046");
  }
  void PutAccount(const std::string& key_name, const std::string& address) {
    registry.PutText(kHkcu, kRoot + "\\" + key_name, "SMTP Email Address", address);
  }
  std::string Bytes(const std::string& path, const std::string& name) {
    RegValue value;
    return registry.Get(kHkcu, path, name, &value) ? value.data : "(none)";
  }
  void ExpectAccount(const std::string& key_name, const std::string& account_name, bool new_key = true) {
    ExpectStoredValues(registry, kRoot + "\\" + key_name, fixtures::Outlook2000Values(account_name, kAddress, "Jo Doe"),
                       new_key);
  }
};

std::string Settings(const std::string& account_name) {
  return fixtures::CrlfLines(fixtures::Outlook2000Settings(account_name, kAddress, "Jo Doe"));
}

std::string Start(const std::string& profile) {
  return "Default Mail Profile is : " + profile + "\r\nStarting Outlook configuration...\r\n\r\n" +
         "Searching for existant " + kAddress + " account ... ";
}

TEST(OutlookAccountWriter, InternetMailOnlyCreatesTheAccountRootAndTheAccountWithoutMapi) {
  OutlookMachine m;
  EXPECT_EQ(0, m.Configure(Request(false, false)));

  EXPECT_EQ(Start("") + "not found. Creating new account.\r\n\r\n" + Settings(kAddress), m.LogText());
  m.ExpectAccount(kAddress, kAddress);
  EXPECT_EQ("(none)", m.Bytes(kManager, "Default Mail Account")) << "the first account is not made the default";
  EXPECT_EQ(0u, m.machine.mapi.services().size());
}

// Only the first data byte counts, whatever the value's type; an unreadable
// mode is Internet Mail Only. Corporate/Workgroup without profiles gives 2.
TEST(OutlookAccountWriter, MailModeIsTheFirstByteOfMailSupport) {
  const struct {
    uint32_t type;
    std::string data;
    ConfigureResult result;
  } kCases[] = {
      {regtype::kDword, RegDwordBytes(1), result::kProfileUnreadable},
      {regtype::kBinary, "\x01\x07"s, result::kProfileUnreadable},
      {regtype::kSz, "1\0"s, result::kConfigured},  // the character '1' is 49
      {regtype::kDword, RegDwordBytes(0), result::kConfigured},
      {regtype::kBinary, "", result::kConfigured},
  };
  for (const auto& c : kCases) {
    OutlookMachine m;
    m.registry.Put(kHkcu, kSetup, "MailSupport", c.type, c.data);
    EXPECT_EQ(c.result, m.Configure(Request(false, false))) << c.data;
  }
  OutlookMachine unreadable;
  unreadable.registry.PutDword(kHkcu, kSetup, "MailSupport", 1);
  unreadable.registry.DenyAccess(kHkcu, kSetup);
  EXPECT_EQ(0, unreadable.Configure(Request(false, false)));
}

TEST(OutlookAccountWriter, CorporateWorkgroupNeedsADefaultProfileBeforeAnythingIsLogged) {
  const struct {
    const char* pick_logon_profile;
    bool deny_profiles;
    ConfigureResult result;
  } kCases[] = {
      {"1", false, result::kNoDefaultProfile},
      {"10", false, result::kNoDefaultProfile},
      {"0", true, result::kProfileUnreadable},  // readable, but not for writing
  };
  for (const auto& c : kCases) {
    OutlookMachine m;
    m.CorporateWorkgroup();
    m.registry.PutText(kHkcu, "Software\\Microsoft\\Exchange\\Client\\Options", "PickLogonProfile",
                       c.pick_logon_profile);
    if (c.deny_profiles) m.registry.DenyWrite(kHkcu, kProfilesKey);
    const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
    EXPECT_EQ(c.result, m.Configure(Request(true, true))) << c.pick_logon_profile;
    EXPECT_EQ("", m.LogText());
    EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));
  }
}

// MAPI adds the service's sections; only the Internet E-Mail entry among the
// new ones is named, and every section that was there before stays as it was,
// however many there are.
TEST(OutlookAccountWriter, NewCorporateAccountGetsItsMapiServiceNamedAfterTheAccount) {
  for (const AutomaticPrefix& prefix : {AutomaticPrefix(), AutomaticPrefix("QS-")}) {
    OutlookMachine m;
    m.CorporateWorkgroup();
    for (int i = 0; i < 120; ++i)
      m.registry.Put(kHkcu, kProfile + "\\" + std::to_string(1000 + i), "001e3d0b", regtype::kBinary,
                     "MailServiceEntry\0"s);
    const std::string before = DumpRegistry(m.registry, kHkcu, kProfile);
    const std::string account_name = prefix.value_or("") + kAddress;

    EXPECT_EQ(0, m.Configure(Request(false, false), prefix));

    EXPECT_EQ(Start("Outlook") + "not found. Creating new account.\r\n\r\n" + Settings(account_name) + kCorporateLine,
              m.LogText());
    m.ExpectAccount(account_name, account_name);
    EXPECT_EQ(std::vector<std::string>{"Outlook: IMAIL, " + kAddress}, m.machine.mapi.services());
    const std::string service = kProfile + "\\5e55e55e000000000000000000000001";
    const std::string entry = kProfile + "\\5e55e55e000000000000000000000002";
    EXPECT_EQ("Internet E-Mail - " + account_name, m.Bytes(entry, "001e3001"));
    EXPECT_EQ(account_name, m.Bytes(entry, "001e661f"));
    EXPECT_EQ(kAddress + '\0', m.Bytes(service, "001e3001")) << "the service's own section keeps MAPI's name";
    const std::string after = DumpRegistry(m.registry, kHkcu, kProfile);
    EXPECT_EQ(before, after.substr(0, before.size())) << "the new sections sort after the old ones";
    EXPECT_EQ(0, m.machine.mapi.initialized());
    EXPECT_EQ(0, m.machine.mapi.live_objects());
    EXPECT_EQ("", m.machine.std_out.out);
  }
}

// Without its MAPI service the client cannot use the account: the first MAPI
// step that fails is told on standard output and in the log, the account (and
// the default it was made) is taken back, the result is 7, and MAPI is left
// released and uninitialised.
TEST(OutlookAccountWriter, MapiFailureTakesTheAccountBackAndFails) {
  const struct {
    MapiStep step;
    uint32_t answer;
    std::string line;
  } kCases[] = {
      {MapiStep::kInitialize, 0x80040605, "Error initializing MAPI. hRes = 0x80040605"},
      {MapiStep::kAdminProfiles, 0x80004005, "Error getting IProfAdmin interface. hRes = 0x80004005"},
      {MapiStep::kLogonEx, 0x80040111, "Error logging on. hRes = 0x80040111"},
      {MapiStep::kAdminServices, 0x8004010f, "Error getting IMsgServiceAdmin interface. hRes = 0x8004010f"},
      {MapiStep::kCreateMsgService, 0x80040102, "Error creating Exchange message service. hRes = 0x80040102"},
      {MapiStep::kServiceTable, 0x80040102, "Error getting the message service table. hRes = 0x80040102"},
  };
  for (const auto& c : kCases) {
    for (const bool make_default : {false, true}) {
      OutlookMachine m;
      m.CorporateWorkgroup();
      m.PutAccount("00000001", "ann@example.org");
      m.registry.PutText(kHkcu, kManager, "Default Mail Account", "00000001");
      m.machine.mapi.Fail(c.step, HResultOf(c.answer));
      const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
      EXPECT_EQ(7, m.Configure(Request(make_default, false))) << c.line;
      EXPECT_EQ(c.line + "\n", m.machine.std_out.out);
      EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software")) << c.line;
      const std::string log = m.LogText();
      EXPECT_EQ(kCorporateLine + c.line + "\r\nThe previous settings were restored.\r\n",
                log.substr(log.rfind(kCorporateLine)))
          << c.line;
      EXPECT_EQ(0, m.machine.mapi.initialized()) << c.line;
      EXPECT_EQ(0, m.machine.mapi.live_objects()) << c.line;
    }
  }
  // A default profile MAPI does not know is not made, and nothing stays.
  OutlookMachine m;
  m.CorporateWorkgroup();
  m.registry.PutText(kHkcu, kProfilesKey, "DefaultProfile", "Gone");
  const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
  EXPECT_EQ(7, m.Configure(Request(true, false)));
  EXPECT_EQ("Error logging on. hRes = 0x80040111\n", m.machine.std_out.out);
  EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));
}

// The account cannot be taken back when its key cannot be removed (the last
// change of the run fails): the run still fails, and the log says so.
TEST(OutlookAccountWriter, MapiFailureWithAnAccountThatCannotBeTakenBackSaysSo) {
  int changes = 0;
  for (const bool undo_fails : {false, true}) {
    OutlookMachine m;
    m.CorporateWorkgroup();
    m.registry.PutKey(kHkcu, kRoot);  // the account's key is the only one made
    m.machine.mapi.Fail(MapiStep::kCreateMsgService, HResultOf(0x80040102));
    FaultPlan plan;
    if (undo_fails) plan.FailNthMutation(changes, err::kAccessDenied);
    FaultInjectingRegistry registry(m.registry, plan);
    EXPECT_EQ(7, OutlookAccountWriter(Request(false, false), std::nullopt, registry, m.machine.mapi, m.machine.std_out,
                                      m.log)
                     .Configure());
    changes = plan.mutations();
    const std::string log = m.LogText();
    EXPECT_EQ(undo_fails ? "Error creating Exchange message service. hRes = 0x80040102\r\n"
                           "Unable to restore the previous settings (error code: 5).\r\n"
                         : "Error creating Exchange message service. hRes = 0x80040102\r\n"
                           "The previous settings were restored.\r\n",
              log.substr(log.rfind("Error creating")));
    EXPECT_EQ(undo_fails, m.registry.HasKey(kHkcu, kRoot + "\\" + kAddress));
  }
}

// MAPI made the service, but its entry cannot be named: the service is taken
// back through MAPI (all its sections go), then the account; a service MAPI
// will not take back stays, and the log says so.
TEST(OutlookAccountWriter, ServiceThatCannotBeNamedIsTakenBackThroughMapi) {
  const std::string entry = "HKCU\\" + kProfile + "\\5e55e55e000000000000000000000002";
  for (const bool delete_fails : {false, true}) {
    OutlookMachine m;
    m.CorporateWorkgroup();
    if (delete_fails) m.machine.mapi.Fail(MapiStep::kDeleteMsgService, HResultOf(0x80040102));
    const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
    FaultPlan plan;
    plan.FailPath(entry, err::kAccessDenied);
    FaultInjectingRegistry registry(m.registry, plan);
    EXPECT_EQ(7, OutlookAccountWriter(Request(true, false), std::nullopt, registry, m.machine.mapi, m.machine.std_out,
                                      m.log)
                     .Configure());

    std::vector<std::string> lines = {"Error naming the new message service. hRes = 0x80070005"};
    if (delete_fails) lines.push_back("Error deleting the new message service. hRes = 0x80040102");
    std::string out, logged;
    for (const std::string& line : lines) out += line + "\n", logged += line + "\r\n";
    EXPECT_EQ(out, m.machine.std_out.out);
    const std::string log = m.LogText();
    EXPECT_EQ(kCorporateLine + logged + "The previous settings were restored.\r\n", log.substr(log.rfind(kCorporateLine)));
    EXPECT_EQ(delete_fails, m.registry.HasKey(kHkcu, kProfile + "\\5e55e55e000000000000000000000001"));
    if (!delete_fails) EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));
    EXPECT_EQ(0, m.machine.mapi.initialized());
    EXPECT_EQ(0, m.machine.mapi.live_objects());
  }
}

TEST(OutlookAccountWriter, ExistingAccountIsKeptOrRewrittenInItsOwnKeyWithoutANewService) {
  OutlookMachine m;
  m.CorporateWorkgroup();
  m.PutAccount("00000001", "ann@example.org");
  m.PutAccount("00000002", kAddress);
  m.PutAccount("QS-" + kAddress, kAddress);
  const std::string before = DumpRegistry(m.registry, kHkcu, "Software");

  EXPECT_EQ(5, m.Configure(Request(true, false)));
  EXPECT_EQ(6, m.Configure(Request(true, false), "qs-"));  // key names ignore letter case
  EXPECT_EQ(Start("Outlook") + " found. No changes will be made.\r\n" + Start("Outlook") + " found. Quitting.\r\n",
            m.LogText());
  EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));

  const size_t kept = m.LogText().size();
  EXPECT_EQ(0, m.Configure(Request(true, true)));
  EXPECT_EQ(Start("Outlook") + " found. Reseting settings to defaults.\r\n\r\n" + Settings(kAddress),
            m.LogText().substr(kept));
  m.ExpectAccount("00000002", kAddress, false);
  EXPECT_EQ("00000002", m.Bytes(kManager, "Default Mail Account"));
  EXPECT_EQ(0, m.Configure(Request(false, true), "QS-"));
  m.ExpectAccount("QS-" + kAddress, "QS-" + kAddress, false);
  EXPECT_EQ(0u, m.machine.mapi.services().size());
  EXPECT_FALSE(m.registry.HasKey(kHkcu, kRoot + "\\" + kAddress));
}

TEST(OutlookAccountWriter, UnwritableKeysEndWithSevenAndNoChange) {
  OutlookMachine root;
  root.PutAccount(kAddress, kAddress);
  root.registry.DenyWrite(kHkcu, kRoot);  // its accounts cannot be searched
  EXPECT_EQ(7, root.Configure(Request(false, true)));
  EXPECT_EQ(Start("") + "\r\nUnable to read the current settings (error code: 5).\r\n", root.LogText());

  OutlookMachine manager;
  manager.CorporateWorkgroup();
  manager.registry.PutKey(kHkcu, kRoot);
  manager.registry.DenyWrite(kHkcu, kManager);  // the account can be written, the default account not
  const std::string before = DumpRegistry(manager.registry, kHkcu, "Software");
  EXPECT_EQ(7, manager.Configure(Request(true, false)));
  EXPECT_EQ(before, DumpRegistry(manager.registry, kHkcu, "Software"));
  EXPECT_EQ(Settings(kAddress) + "Unable to write the settings (error code: 5).\r\n"
                                 "The previous settings were restored.\r\n",
            manager.LogText().substr(manager.LogText().find("The following")));
  EXPECT_EQ(0u, manager.machine.mapi.services().size()) << "no service for an account that was not written";
}

// The Outlook Express lookups on Outlook 2000's keys, logging only the search line.
TEST(OutlookAccountLookup, ReadsTheOmiAccountManagerQuietly) {
  OutlookMachine m;
  m.PutAccount("00000002", kAddress);
  m.registry.PutText(kHkcu, kManager, "Default Mail Account", "00000002");
  OutlookAccountLookup lookup(m.registry, m.log);

  EXPECT_EQ("00000002", lookup.GetDefAcct());
  EXPECT_EQ(kAddress, lookup.GetAcctAddr("00000002"));
  EXPECT_EQ("00000002", lookup.FindAcctByText("jdoe@"));
  m.log.EndLine();
  EXPECT_EQ("Searching for existant  account ... \r\n", m.LogText());
}

}  // namespace
}  // namespace pw
