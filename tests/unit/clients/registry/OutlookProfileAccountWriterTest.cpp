// Outlook 2002 and later: the account and the bookkeeping of the default
// profile's account store, and the lookups automatic mode asks.
#include "clients/registry/OutlookProfileAccountWriter.h"

#include <gtest/gtest.h>

#include <functional>

#include "clients/registry/OutlookProfileAccountLookup.h"
#include "platform/fault/FaultInjecting.h"
#include "unit/clients/registry/OutlookTestSupport.h"

namespace pw {
namespace {

using namespace std::string_literals;
using fixtures::Utf16;

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kStoreKey = "\\9375CFF0413111d3B88A00104B2A6676";
const std::string kStore = kProfilesKey + "\\Main" + kStoreKey;
const std::string kOrder = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
const std::string kAddress = "jdoe@example.org";

AccountRequest Request(bool make_default, bool overwrite) { return {kAddress, "Jo Doe", make_default, overwrite}; }

struct ProfileMachine : LoggedMachine {
  MemoryRegistry& registry = machine.registry;

  // A default profile "Main" with an account store.
  ProfileMachine() {
    registry.PutText(kHkcu, kProfilesKey, "DefaultProfile", "Main");
    registry.PutKey(kHkcu, kStore);
  }
  ConfigureResult Configure(const AccountRequest& request, const AutomaticPrefix& prefix = std::nullopt) {
    return OutlookProfileAccountWriter(request, prefix, registry, log).Configure();
  }
  void PutAccount(const std::string& key_name, const std::string& address) {
    registry.Put(kHkcu, kStore + "\\" + key_name, "Email", regtype::kBinary, Utf16(address));
    registry.Put(kHkcu, kStore + "\\" + key_name, "Account Name", regtype::kBinary, Utf16(address));
  }
  std::string Bytes(const std::string& path, const std::string& name) {
    RegValue value;
    return registry.Get(kHkcu, path, name, &value) ? value.data : "(none)";
  }
  // The three bookkeeping values, each as its bytes.
  std::vector<std::string> Bookkeeping() {
    return {Bytes(kStore, "NextAccountID"), Bytes(kStore, kOrder), Bytes(kStore, "LastChangeVer")};
  }
  void ExpectAccount(const std::string& store, const std::string& key_name, const std::string& account_name,
                     bool new_key = false) {
    ExpectStoredValues(registry, store + "\\" + key_name,
                       fixtures::ProfileAccountValues(account_name, kAddress, "Jo Doe"), new_key);
  }
};

std::string Settings(const std::string& account_name) {
  return fixtures::CrlfLines(fixtures::ProfileSettings(account_name, kAddress, "Jo Doe"));
}

const std::string kSearch = "Starting Outlook configuration...\r\nSearching for existant " + kAddress + " account ... ";

TEST(OutlookProfileAccountWriter, FirstAccountTakesNextAccountIdAndStartsTheOrder) {
  ProfileMachine m;
  m.registry.PutDword(kHkcu, kStore, "NextAccountID", 1);

  EXPECT_EQ(0, m.Configure(Request(false, false)));

  EXPECT_EQ(kSearch + "not found. Creating new account.\r\n" + Settings(kAddress), m.LogText());
  m.ExpectAccount(kStore, "00000001", kAddress, true);
  EXPECT_EQ((std::vector<std::string>{"\x02\0\0\0"s, "\x01\0\0\0"s, "\x01\0\0\0\0\0\0\0"s}), m.Bookkeeping());
}

// New accounts: where they go in the order, which number they get, and the
// change counter, whatever shape the bookkeeping is in.
TEST(OutlookProfileAccountWriter, NewAccountNumberOrderAndChangeCounter) {
  const struct {
    const char* what;
    bool make_default;
    std::vector<std::string> existing;  // account keys
    std::optional<uint32_t> next_account_id;
    std::optional<std::string> change_ver;
    std::vector<std::string> bookkeeping;  // afterwards
  } kCases[] = {
      {"default goes in front", true, {"00000003"}, 4, "\x07\0\0\0\0\0\0\0"s,
       {"\x05\0\0\0"s, "\x04\0\0\0\x03\0\0\0"s, "\x08\0\0\0\0\0\0\0"s}},
      {"others at the end", false, {"00000003"}, 4, "\x07\0\0\0\0\0\0\0"s,
       {"\x05\0\0\0"s, "\x03\0\0\0\x04\0\0\0"s, "\x08\0\0\0\0\0\0\0"s}},
      {"no NextAccountID: after the highest", false, {"00000003", "0000010a"}, std::nullopt, std::nullopt,
       {"\x0c\x01\0\0"s, "\x03\0\0\0\x0a\x01\0\0\x0b\x01\0\0"s, "\x01\0\0\0\0\0\0\0"s}},
      {"a taken number is passed", false, {"00000002", "00000003"}, 2, "\xff\xff\xff\xff\x01\0\0\0"s,
       {"\x05\0\0\0"s, "\x03\0\0\0\x04\0\0\0"s, "\0\0\0\0\x02\0\0\0"s}},
  };
  for (const auto& c : kCases) {
    ProfileMachine m;
    std::string order;
    for (const std::string& key : c.existing) {
      m.PutAccount(key, "other" + key + "@example.org");
      if (key != "00000002") order += RegDwordBytes(std::stoul(key, nullptr, 16));
    }
    m.registry.Put(kHkcu, kStore, kOrder, regtype::kBinary, order);
    if (c.next_account_id) m.registry.PutDword(kHkcu, kStore, "NextAccountID", *c.next_account_id);
    if (c.change_ver) m.registry.Put(kHkcu, kStore, "LastChangeVer", regtype::kBinary, *c.change_ver);
    const std::string others = DumpRegistry(m.registry, kHkcu, kStore + "\\00000003");

    EXPECT_EQ(0, m.Configure(Request(c.make_default, false))) << c.what;

    EXPECT_EQ(c.bookkeeping, m.Bookkeeping()) << c.what;
    EXPECT_EQ(others, DumpRegistry(m.registry, kHkcu, kStore + "\\00000003")) << c.what;
  }
}

// The client reads the order in whole four-byte entries: a stray tail is
// dropped when the order is written, so a new entry never lands out of step.
TEST(OutlookProfileAccountWriter, OrderWithAStrayTailIsWrittenBackInWholeEntries) {
  const struct {
    std::string order;
    bool make_default;
    std::string written;
  } kCases[] = {
      {"\x03\0\0\0\x7f"s, false, "\x03\0\0\0\x04\0\0\0"s},
      {"\x03\0\0\0\x7f\x01\x02"s, true, "\x04\0\0\0\x03\0\0\0"s},
      {"\x09\x09"s, false, "\x04\0\0\0"s},
  };
  for (const auto& c : kCases) {
    ProfileMachine m;
    m.PutAccount("00000003", "ann@example.org");
    m.registry.PutDword(kHkcu, kStore, "NextAccountID", 4);
    m.registry.Put(kHkcu, kStore, kOrder, regtype::kBinary, c.order);
    EXPECT_EQ(0, m.Configure(Request(c.make_default, false))) << c.order.size();
    EXPECT_EQ(c.written, m.Bytes(kStore, kOrder)) << c.order.size();
  }
}

// Stored texts are compared as whole UTF-16 code units: a unit above 0xFF is
// a letter of its own, never the ASCII letter of its low byte.
TEST(OutlookProfileAccountWriter, StoredTextsMatchOnlyUnitForUnit) {
  const struct {
    std::string stored;  // the "Email" value's bytes
    bool match;
  } kCases[] = {
      {Utf16("JDOE@EXAMPLE.ORG"), true},
      {Utf16(kAddress) + "junk"s, true},              // the text ends at its zero unit
      {"j\x01"s + Utf16("doe@example.org"), false},  // U+016A, low byte 'j'
      {"j\0d\0o\0e\0@\0e\0x\0a\0m\0p\0l\0e\0.\0o\0r\0g\x04"s, false},  // last unit U+0467
      {Utf16(kAddress).substr(1), false},             // an odd number of bytes is no text
      {Utf16("jdoe@example.or"), false},
  };
  for (const auto& c : kCases) {
    ProfileMachine m;
    m.registry.Put(kHkcu, kStore + "\\00000001", "Email", regtype::kBinary, c.stored);
    m.registry.PutDword(kHkcu, kStore, "NextAccountID", 2);
    const std::string before = DumpRegistry(m.registry, kHkcu, kStore + "\\00000001");
    EXPECT_EQ(0, m.Configure(Request(false, true)));
    EXPECT_EQ(!c.match, m.registry.HasKey(kHkcu, kStore + "\\00000002")) << "a new account";
    if (!c.match) EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, kStore + "\\00000001"));
  }
}

TEST(OutlookProfileAccountWriter, AddressMatchesWholeAndWithoutRegardToCase) {
  ProfileMachine m;
  const std::string long_address = std::string(60, 'j') + "@example.org";
  m.PutAccount("00000001", "JDoe@Example.org");
  m.PutAccount("00000002", long_address);
  m.registry.PutDword(kHkcu, kStore, "NextAccountID", 3);
  m.registry.Put(kHkcu, kStore, kOrder, regtype::kBinary, "\x02\0\0\0\x01\0\0\0"s);
  const std::string before = DumpRegistry(m.registry, kHkcu, "Software");

  EXPECT_EQ(5, m.Configure(Request(true, false)));
  EXPECT_EQ(5, OutlookProfileAccountWriter({long_address, "Jo", false, false}, std::nullopt, m.registry, m.log)
                   .Configure());
  EXPECT_EQ(kSearch + " found. No changes will be made.\r\n", m.LogText().substr(0, kSearch.size() + 34));
  EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));

  // Rewritten in its own key; without make-default the order stays.
  const size_t kept = m.LogText().size();
  EXPECT_EQ(0, m.Configure(Request(false, true)));
  EXPECT_EQ(kSearch + " found. Reseting settings to defaults.\r\n" + Settings(kAddress), m.LogText().substr(kept));
  m.ExpectAccount(kStore, "00000001", kAddress);
  EXPECT_EQ((std::vector<std::string>{"\x03\0\0\0"s, "\x02\0\0\0\x01\0\0\0"s, "\x01\0\0\0\0\0\0\0"s}),
            m.Bookkeeping());
}

// Made default, the account goes first, followed by every other key that
// has an address: the rest drop out of the order.
TEST(OutlookProfileAccountWriter, MakeDefaultRebuildsTheOrderFromAccountsWithAnAddress) {
  ProfileMachine m;
  m.PutAccount("00000001", "ann@example.org");
  m.registry.PutText(kHkcu, kStore + "\\00000002", "Account Name", "no address");
  m.PutAccount("00000003", kAddress);
  m.PutAccount("0000000a", "bob@example.org");
  m.registry.Put(kHkcu, kStore, kOrder, regtype::kBinary, "\x01\0\0\0\x02\0\0\0\x03\0\0\0\x0a\0\0\0"s);

  EXPECT_EQ(0, m.Configure(Request(true, true)));
  EXPECT_EQ("\x03\0\0\0\x01\0\0\0\x0a\0\0\0"s, m.Bytes(kStore, kOrder));
  EXPECT_EQ("(none)", m.Bytes(kStore, "NextAccountID"));

  for (int i = 0; i < 48; ++i) m.PutAccount(std::to_string(11000000 + i), "x@example.org");
  EXPECT_EQ(0, m.Configure(Request(false, true))) << "52 keys, but the order is left alone";
  const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
  EXPECT_EQ(1, m.Configure(Request(true, true)));
  EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));
}

TEST(OutlookProfileAccountWriter, AutomaticModeFindsItsOwnAccountByAccountName) {
  ProfileMachine m;
  m.PutAccount("00000001", kAddress);  // same address, but not the automatic account
  m.registry.Put(kHkcu, kStore + "\\00000002", "Account Name", regtype::kBinary, Utf16("qs-JDOE@example.org"));
  m.registry.PutDword(kHkcu, kStore, "NextAccountID", 3);
  const std::string before = DumpRegistry(m.registry, kHkcu, "Software");

  EXPECT_EQ(6, m.Configure(Request(false, false), "QS-"));
  EXPECT_EQ(kSearch + " found. Quitting.\r\n", m.LogText());
  EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software"));

  EXPECT_EQ(0, m.Configure(Request(false, true), "QS-"));
  m.ExpectAccount(kStore, "00000002", "QS-" + kAddress);
  EXPECT_EQ("\x03\0\0\0"s, m.Bytes(kStore, "NextAccountID"));
}

TEST(OutlookProfileAccountWriter, ProfileChecksAndTheFallbackStore) {
  const std::string fallback = kProfilesKey + "\\Outlook" + kStoreKey;
  using Arrange = std::function<void(MemoryRegistry&)>;
  const auto remove = [](std::vector<std::string> keys) {
    return [keys](MemoryRegistry& r) {
      for (const std::string& key : keys) ASSERT_EQ(err::kSuccess, r.DeleteKey(kHkcu, key));
    };
  };
  const struct {
    const char* what;
    Arrange arrange;
    ConfigureResult result;
    std::string written;  // the store that gets the account
  } kCases[] = {
      {"asks for a profile",
       [](MemoryRegistry& r) {
         r.PutText(kHkcu, "Software\\Microsoft\\Exchange\\Client\\Options", "PickLogonProfile", "1");
       },
       result::kNoDefaultProfile, ""},
      {"no profiles", remove({kStore, kProfilesKey + "\\Main", kProfilesKey}), result::kNotRunYet, ""},
      {"profiles locked", [](MemoryRegistry& r) { r.DenyWrite(kHkcu, kProfilesKey); }, result::kProfileUnreadable, ""},
      {"no store at all", remove({kStore}), result::kNotRunYet, ""},
      {"stores locked", [&](MemoryRegistry& r) { r.DenyWrite(kHkcu, kStore); r.DenyWrite(kHkcu, fallback); },
       result::kProfileUnreadable, ""},
      {"default profile without a store",
       [&](MemoryRegistry& r) { remove({kStore})(r); r.PutKey(kHkcu, fallback); }, result::kConfigured, fallback},
      {"no default profile named",
       [&](MemoryRegistry& r) { r.PutText(kHkcu, kProfilesKey, "DefaultProfile", ""); r.PutKey(kHkcu, fallback); },
       result::kConfigured, fallback},
  };
  for (const auto& c : kCases) {
    ProfileMachine m;
    c.arrange(m.registry);
    const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
    EXPECT_EQ(c.result, m.Configure(Request(true, true))) << c.what;
    if (c.written.empty()) {
      EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software")) << c.what;
    } else {
      m.ExpectAccount(c.written, "00000001", kAddress, true);
    }
  }
}

// A write whose last change fails gives 7 and leaves the account and the
// bookkeeping exactly as they were (the fault walk fails every change in turn).
TEST(OutlookProfileAccountWriter, FailedWriteIsUndone) {
  // A rewrite made default changes the order, the key, its thirteen values and
  // the counter; a new account the next number too.
  const struct {
    std::string address;
    int changes;
  } kCases[] = {{kAddress, 16}, {"new@example.org", 17}};
  for (const auto& c : kCases) {
    ProfileMachine m;
    m.PutAccount("00000001", kAddress);
    m.registry.PutDword(kHkcu, kStore, "NextAccountID", 2);
    m.registry.Put(kHkcu, kStore, "LastChangeVer", regtype::kBinary, "\x09\0\0\0\0\0\0\0"s);
    const std::string before = DumpRegistry(m.registry, kHkcu, "Software");
    // The last change (the counter) fails: everything before it is undone.
    FaultPlan plan;
    FaultInjectingRegistry faulty(m.registry, plan);
    plan.FailNthMutation(c.changes, err::kWriteFault);
    const AccountRequest request{c.address, "Jo", true, true};
    EXPECT_EQ(7, OutlookProfileAccountWriter(request, std::nullopt, faulty, m.log).Configure());
    EXPECT_EQ(before, DumpRegistry(m.registry, kHkcu, "Software")) << c.address;
    EXPECT_EQ("Unable to write the settings (error code: 29).\r\nThe previous settings were restored.\r\n",
              m.LogText().substr(m.LogText().rfind("Unable to write")));
  }
}

TEST(OutlookProfileAccountLookup, DefaultAccountAddressAndDisplayName) {
  ProfileMachine m;
  m.PutAccount("0000010a", kAddress);
  m.registry.Put(kHkcu, kStore + "\\0000010a", "Display Name", regtype::kBinary, Utf16("Jo Doe"));
  m.PutAccount("0000010b", "ann@example.org");
  OutlookProfileAccountLookup lookup(m.registry);

  EXPECT_EQ(std::nullopt, lookup.GetDefAcct()) << "no order";
  m.registry.Put(kHkcu, kStore, kOrder, regtype::kBinary, "\x0a\x01\0\0\x0b\x01\0\0"s);
  EXPECT_EQ("0000010a", lookup.GetDefAcct());
  EXPECT_EQ(kAddress, lookup.GetAcctAddr("0000010a"));
  EXPECT_EQ("Jo Doe", lookup.GetAcctDisplayName("0000010a"));
  EXPECT_EQ("", lookup.GetAcctDisplayName("0000010b"));
  EXPECT_EQ(std::nullopt, lookup.GetAcctAddr("00000009"));
  EXPECT_EQ(std::nullopt, lookup.GetAcctAddr(std::nullopt));
  EXPECT_EQ("0000010b", lookup.FindAcctByText("ann@"));
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("ANN"));  // letter case counts
  EXPECT_EQ("", m.LogText());

  // An address that is no such text reads as none, which automatic mode refuses.
  for (const auto& [type, bytes] : {std::pair<uint32_t, std::string>{regtype::kDword, RegDwordBytes(0x61)},
                                    {regtype::kBinary, "a\0b"s}}) {
    m.registry.Put(kHkcu, kStore + "\\0000010b", "Email", type, bytes);
    EXPECT_EQ("", lookup.GetAcctAddr("0000010b")) << bytes.size();
  }
  // Every character is text, a pair of surrogates one character.
  m.registry.Put(kHkcu, kStore + "\\0000010b", "Display Name", regtype::kBinary,
                 "\xD3\x05\xE0\x05\xD9\x05 \0a\0\x01\x01\x3D\xD8\x00\xDE\0\0"s);
  EXPECT_EQ("\xD7\x93\xD7\xA0\xD7\x99 a\xC4\x81\xF0\x9F\x98\x80", lookup.GetAcctDisplayName("0000010b"));

  m.registry.PutText(kHkcu, kProfilesKey, "DefaultProfile", "");  // no fallback for the lookups
  m.registry.PutKey(kHkcu, kProfilesKey + "\\Outlook" + kStoreKey + "\\0000010a");
  EXPECT_EQ(std::nullopt, lookup.GetDefAcct());
  EXPECT_EQ(std::nullopt, lookup.GetAcctAddr("0000010a"));
  EXPECT_EQ(std::nullopt, lookup.FindAcctByText("jdoe"));
}

}  // namespace
}  // namespace pw
