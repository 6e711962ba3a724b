// Whole runs for Outlook 2002 and later: the detected version decides which
// profiles the writer, automatic mode's lookups and the failure listing use.
// Outlook 2013 and later keep theirs below their own Office key; an older
// Outlook's profile may still sit below the Windows Messaging Subsystem, and
// must stay as it is.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "unit/clients/registry/RegistryTestSupport.h"
#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

const RegRoot kHkcu = RegRoot::kCurrentUser;
const std::string kMessaging = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
const std::string kStoreKey = "\\9375CFF0413111d3B88A00104B2A6676";
const std::string kOrder = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";

std::string OfficeOutlook(int version) {
  return "Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\Outlook";
}

// UTF-16 as the store keeps texts.
std::string Utf16(const std::string& text) {
  std::string bytes;
  for (char c : text) bytes += std::string{c, '\0'};
  return bytes + "\0\0"s;
}

// A stale profile "Old" of an older Outlook, with one account, and profiles
// "Outlook" of Outlook 2013 and of Outlook 2016, each with an empty store.
void SeedProfiles(MemoryRegistry& registry) {
  registry.PutText(kHkcu, kMessaging + "\\Profiles", "DefaultProfile", "Old");
  registry.Put(kHkcu, kMessaging + "\\Profiles\\Old" + kStoreKey + "\\00000001", "Email", regtype::kBinary,
               Utf16("old@example.org"));
  registry.PutDword(kHkcu, kMessaging + "\\Profiles\\Old" + kStoreKey, "NextAccountID", 2);
  for (int version : {15, 16}) {
    registry.PutText(kHkcu, OfficeOutlook(version), "DefaultProfile", "Outlook");
    registry.PutKey(kHkcu, OfficeOutlook(version) + "\\Profiles\\Outlook" + kStoreKey);
  }
}

std::string Tree(MemoryRegistry& registry, const std::string& path) { return DumpRegistry(registry, kHkcu, path); }

TEST(OutlookProfileTreeRun, TheDetectedVersionChoosesTheProfilesAndTheListing) {
  const std::string office15 = OfficeOutlook(15), office16 = OfficeOutlook(16);
  const struct {
    const char* what;
    int version;
    std::function<void(MemoryRegistry&)> arrange;
    int exit_status;
    std::string store;  // that gets the account "0000000n"; empty: nothing changes
    std::string key_name;
    Lines listing;      // after "Relevant Registry Structure:" on failure
  } kCases[] = {
      {"Outlook 2016", 16, [](MemoryRegistry&) {}, 0, office16 + "\\Profiles\\Outlook" + kStoreKey, "00000001", {}},
      {"Outlook 2013", 15, [](MemoryRegistry&) {}, 0, office15 + "\\Profiles\\Outlook" + kStoreKey, "00000001", {}},
      {"Outlook 2010", 14, [](MemoryRegistry&) {}, 0, kMessaging + "\\Profiles\\Old" + kStoreKey, "00000002", {}},
      {"Outlook 2016 never run: the older profile is not its own", 16,
       [&](MemoryRegistry& r) {
         for (const std::string& key : {office16 + "\\Profiles\\Outlook" + kStoreKey, office16 + "\\Profiles\\Outlook",
                                        office16 + "\\Profiles"})
           ASSERT_EQ(err::kSuccess, r.DeleteKey(kHkcu, key));
       },
       1, "", "", {"error: 2"}},
      {"Outlook 2016 with a profile but no account store", 16,
       [&](MemoryRegistry& r) {
         ASSERT_EQ(err::kSuccess, r.DeleteKey(kHkcu, office16 + "\\Profiles\\Outlook" + kStoreKey));
         r.PutKey(kHkcu, office16 + "\\Profiles\\Outlook\\0a0d020000000000c000000000000046");
       },
       1, "", "", {"Profiles", "   Outlook", "      0a0d020000000000c000000000000046"}},
      {"Outlook 2016 with locked profiles", 16,
       [&](MemoryRegistry& r) { r.DenyWrite(kHkcu, office16 + "\\Profiles"); }, 1, "", "", {"error: 5"}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    RunTestBed bed;
    MemoryRegistry& registry = bed.machine.registry;
    SeedProfiles(registry);
    c.arrange(registry);
    bed.detection.Install(ClientKind::kOutlook);
    bed.detection.outlook_version = c.version;
    const std::string before = Tree(registry, "Software\\Microsoft");
    std::map<std::string, std::string> trees_before;
    for (const std::string& tree : {kMessaging, office15, office16}) trees_before[tree] = Tree(registry, tree);

    EXPECT_EQ(c.exit_status, bed.Run("-d -n \"Jo Doe\" -c 1 -a jdoe"));

    const Lines lines = bed.LogLines();
    if (c.store.empty()) {
      EXPECT_EQ(before, Tree(registry, "Software\\Microsoft"));
      Lines expected = {"Relevant Registry Structure:"};
      expected.insert(expected.end(), c.listing.begin(), c.listing.end());
      expected.push_back("* Configuration Failed at "s + kStamp + " *");
      expected.push_back("");
      ASSERT_GE(lines.size(), expected.size());
      EXPECT_EQ(expected, Lines(lines.end() - expected.size(), lines.end()));
      continue;
    }
    RegValue email;
    ASSERT_TRUE(registry.Get(kHkcu, c.store + "\\" + c.key_name, "Email", &email));
    EXPECT_EQ(Utf16("jdoe@quillset.example"), email.data);
    const Lines complete = {"Email Client Configuration Successful!", "",
                            "* Configuration Complete at "s + kStamp + " *", ""};
    EXPECT_EQ(complete, Lines(lines.end() - 4, lines.end()));
    // The other versions' profiles are byte for byte as they were.
    for (const std::string& other : {kMessaging, office15, office16}) {
      if (c.store.rfind(other, 0) == 0) continue;
      EXPECT_EQ(trees_before.at(other), Tree(registry, other)) << other;
    }
  }
}

// Automatic mode reads the default account of the detected version's profile,
// and the account it writes goes there too.
TEST(OutlookProfileTreeRun, AutomaticModeLooksUpAndWritesTheOfficeProfile) {
  RunTestBed bed;
  MemoryRegistry& registry = bed.machine.registry;
  SeedProfiles(registry);
  const std::string store = OfficeOutlook(16) + "\\Profiles\\Outlook" + kStoreKey;
  registry.Put(kHkcu, store + "\\00000003", "Email", regtype::kBinary, Utf16("ann@example.org"));
  registry.Put(kHkcu, store + "\\00000003", "Display Name", regtype::kBinary, Utf16("Ann"));
  registry.Put(kHkcu, store, kOrder, regtype::kBinary, "\x03\0\0\0"s);
  registry.PutDword(kHkcu, store, "NextAccountID", 4);
  bed.detection.Install(ClientKind::kOutlook);
  bed.detection.outlook_version = 16;
  bed.detection.default_client = DefaultClientCodeOf(ClientKind::kOutlook);
  const std::string messaging = Tree(registry, kMessaging);

  EXPECT_EQ(0, bed.Run("-auto -p \"QS-\" -d"));

  RegValue name;
  ASSERT_TRUE(registry.Get(kHkcu, store + "\\00000004", "Account Name", &name));
  EXPECT_EQ(Utf16("QS-ann@example.org"), name.data);
  ASSERT_TRUE(registry.Get(kHkcu, store, kOrder, &name));
  EXPECT_EQ("\x04\0\0\0\x03\0\0\0"s, name.data);
  EXPECT_EQ(messaging, Tree(registry, kMessaging));
}

}  // namespace
}  // namespace pw
