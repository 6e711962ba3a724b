#include "detect/InstalledClients.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/MemoryRegistry.h"

namespace pw {
namespace {

using namespace std::string_literals;

constexpr char kOutlookName[] = "Microsoft Outlook";
constexpr char kOutlook[] = "SOFTWARE\\Clients\\Mail\\Microsoft Outlook";

struct Probe {
  const char* key;
  const char* registration;
  bool installed(Registry& registry) const { return IsClientInstalled(registry, registration); }
};

const Probe kProbes[] = {
    {"SOFTWARE\\Clients\\Mail\\Windows Mail", "Windows Mail"},
    {"SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird", "Mozilla Thunderbird"},
    {"SOFTWARE\\Clients\\Mail\\Outlook Express", "Outlook Express"},
    {"SOFTWARE\\Clients\\Mail\\Eudora", "Eudora"},
    {"SOFTWARE\\Clients\\Mail\\Microsoft Outlook", kOutlookName},
};

TEST(InstalledClients, EachProbeAnswersForItsOwnEmptyRegistrationOnly) {
  for (const Probe& registered : kProbes) {
    MemoryRegistry registry;
    registry.PutKey(RegRoot::kLocalMachine, registered.key);  // no values, no subkeys
    for (const Probe& probe : kProbes)
      EXPECT_EQ(&probe == &registered, probe.installed(registry)) << "registered " << registered.key << ", asked "
                                                                  << probe.key;
  }
}

TEST(InstalledClients, OnlyAnOpenableMachineWideRegistrationCounts) {
  for (const Probe& probe : kProbes) {
    MemoryRegistry registry;
    EXPECT_FALSE(probe.installed(registry)) << probe.key;

    registry.PutKey(RegRoot::kCurrentUser, probe.key);  // this user only
    registry.PutKey(RegRoot::kLocalMachine, "SOFTWARE\\Clients\\Mail");
    registry.PutKey(RegRoot::kLocalMachine, std::string(probe.key) + " Beta");
    EXPECT_FALSE(probe.installed(registry)) << probe.key;

    registry.DenyAccess(RegRoot::kLocalMachine, probe.key);
    EXPECT_FALSE(probe.installed(registry)) << probe.key;
  }

  MemoryRegistry readable_only;
  readable_only.DenyWrite(RegRoot::kLocalMachine, kOutlook);  // reading is all a probe asks
  EXPECT_TRUE(IsClientInstalled(readable_only, kOutlookName));
}

int VersionOf(uint32_t type, const std::string& data) {
  MemoryRegistry registry;
  registry.Put(RegRoot::kLocalMachine, kOutlook, "MSIApplicationLCID", type, data);
  return GetOutlookVersion(registry, kOutlookName);
}

int VersionOfText(const std::string& text) { return VersionOf(regtype::kSz, text + '\0'); }

TEST(InstalledClients, OutlookVersionIsTheNumberAfterTheFirstOfficeFolder) {
  EXPECT_EQ(11, VersionOfText("Software\\Microsoft\\Office\\11.0\\Outlook"));
  EXPECT_EQ(12, VersionOfText("Software\\Microsoft\\Office\\12.0\\Outlook"));
  EXPECT_EQ(9, VersionOfText("Software\\Microsoft\\Office\\9.0\\Outlook"));
  EXPECT_EQ(12, VersionOfText("Software\\Microsoft\\Office\\12"));          // no ".0\" after it
  EXPECT_EQ(14, VersionOfText("Software\\Microsoft\\Office\\14.1\\Outlook"));  // digits stop at the dot
  EXPECT_EQ(10, VersionOfText("C:\\Office\\10.0\\Software\\Microsoft\\Office\\12.0\\Outlook"));
  EXPECT_EQ(12, VersionOfText("9.0\\Software\\Microsoft\\Office\\12.0\\Outlook"));  // an earlier ".0\" is no end
  EXPECT_EQ(kOutlookVersionUnknown, VersionOfText("Software\\Microsoft\\Outlook"));
  EXPECT_EQ(kOutlookVersionUnknown, VersionOfText("Software\\Microsoft\\office\\12.0\\Outlook"));  // exact case
  EXPECT_EQ(kOutlookVersionUnknown, VersionOfText(""));
}

TEST(InstalledClients, OutlookVersionTakesAnyTypeUpToItsFirstNul) {
  EXPECT_EQ(11, VersionOf(regtype::kMultiSz, "Office\\11.0\\Outlook\0Office\\12.0\\\0\0"s));
  EXPECT_EQ(kOutlookVersionUnknown, VersionOf(regtype::kMultiSz, "1033\0Office\\12.0\\\0\0"s));
  EXPECT_EQ(12, VersionOf(regtype::kExpandSz, "%CommonProgramFiles%\\Office\\12.0\\\0"s));
  EXPECT_EQ(11, VersionOf(regtype::kBinary, "Office\\11.0\\"));
  EXPECT_EQ(12, VersionOf(regtype::kSz, "Software\\Microsoft\\Office\\12"));  // stored without its NUL
}

TEST(InstalledClients, OutlookVersionIsUnknownWhenItCannotBeRead) {
  MemoryRegistry registry;
  EXPECT_EQ(kOutlookVersionUnknown, GetOutlookVersion(registry, kOutlookName));  // no key

  registry.PutText(RegRoot::kLocalMachine, kOutlook, "msiapplicationlcid2", "Office\\12.0\\");
  EXPECT_EQ(kOutlookVersionUnknown, GetOutlookVersion(registry, kOutlookName));  // no value
  registry.PutText(RegRoot::kCurrentUser, kOutlook, "MSIApplicationLCID", "Office\\12.0\\");
  EXPECT_EQ(kOutlookVersionUnknown, GetOutlookVersion(registry, kOutlookName));  // only this user's

  registry.PutText(RegRoot::kLocalMachine, kOutlook, "MSIApplicationLCID", "Office\\12.0\\");
  EXPECT_EQ(12, GetOutlookVersion(registry, kOutlookName));
  registry.DenyAccess(RegRoot::kLocalMachine, kOutlook);
  EXPECT_EQ(kOutlookVersionUnknown, GetOutlookVersion(registry, kOutlookName));
}

TEST(InstalledClients, OutlookVersionFitsA300ByteBufferOrIsUnknown) {
  const std::string tail = "Office\\11.0\\Outlook";
  const std::string fits = std::string(300 - 1 - tail.size(), 'x') + tail;  // 300 bytes with its NUL
  EXPECT_EQ(11, VersionOfText(fits));
  EXPECT_EQ(kOutlookVersionUnknown, VersionOfText("x" + fits));
  EXPECT_EQ(kOutlookVersionUnknown, VersionOfText(tail + std::string(300, 'x')));  // number early, still too long
}

}  // namespace
}  // namespace pw
