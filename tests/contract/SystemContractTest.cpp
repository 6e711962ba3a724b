#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "contract/ContractBackend.h"

namespace pw {
namespace {

TEST(SystemContract, EnvironmentVariablesAreSetReadWholeAndUnset) {
  Environment& environment = Backend().View().environment;
  std::string value = "untouched";
  Backend().UnsetVariable("PwContractVar");
  EXPECT_FALSE(environment.Variable("PwContractVar", &value));
  EXPECT_EQ("untouched", value);

  Backend().SetVariable("PwContractVar", "C:\\Program Files");
  ASSERT_TRUE(environment.Variable("PWCONTRACTVAR", &value));
  EXPECT_EQ("C:\\Program Files", value);

  std::string long_value;
  for (int i = 0; long_value.size() < 5000; ++i) long_value += "C:\\folder" + std::to_string(i) + ";";
  Backend().SetVariable("PwContractVar", long_value);
  ASSERT_TRUE(environment.Variable("PwContractVar", &value));
  EXPECT_EQ(long_value, value);

  Backend().SetVariable("PwContractVar", "");
  ASSERT_TRUE(environment.Variable("PwContractVar", &value));
  EXPECT_EQ("", value);

  Backend().UnsetVariable("PwContractVar");
  EXPECT_FALSE(environment.Variable("PwContractVar", &value));
}

// The tests run as an ordinary user (Wine has no system account to run as),
// whom the refusal must never hit.
TEST(SystemContract, AnOrdinaryUserIsNotLocalSystem) {
  EXPECT_FALSE(Backend().View().environment.RunsAsLocalSystem());
}

// The roaming and the local application data: two folders that exist.
TEST(SystemContract, TheShellNamesExistingApplicationDataFolders) {
  Environment& environment = Backend().View().environment;
  std::string roaming, local;
  ASSERT_EQ(err::kSuccess, environment.ShellAppDataFolder(&roaming));
  ASSERT_EQ(err::kSuccess, environment.ShellLocalAppDataFolder(&local));
  EXPECT_NE(roaming, local);
  for (const std::string& folder : {roaming, local}) {
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(":\\", folder.substr(1, 2));
    EXPECT_NE('\\', folder.back());
    OutputFilePtr file;
    const std::string probe = folder + "\\pw-contract-probe.tmp";
    ASSERT_EQ(err::kSuccess, Backend().View().files.OpenNew(probe, &file));
    ASSERT_EQ(err::kSuccess, file->Close());
    EXPECT_EQ(err::kSuccess, Backend().View().files.Remove(probe));
  }
}

TEST(SystemContract, UuidsAreLowerCaseTextAndNeverRepeat) {
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    std::string text;
    ASSERT_EQ(err::kSuccess, Backend().View().uuids.NewUuid(&text));
    ASSERT_EQ(36u, text.size()) << text;
    for (size_t at = 0; at < text.size(); ++at) {
      if (at == 8 || at == 13 || at == 18 || at == 23)
        EXPECT_EQ('-', text[at]) << text;
      else
        EXPECT_TRUE((text[at] >= '0' && text[at] <= '9') || (text[at] >= 'a' && text[at] <= 'f')) << text;
    }
    EXPECT_TRUE(seen.insert(text).second) << text;
  }
}

TEST(SystemContract, LocalTimeIsAPlausibleDate) {
  const LocalTime now = Backend().View().clock.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_LE(now.year, 9999);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
  EXPECT_GE(now.hour, 0);
  EXPECT_LE(now.hour, 23);
  EXPECT_GE(now.minute, 0);
  EXPECT_LE(now.minute, 59);
  EXPECT_GE(now.second, 0);
  EXPECT_LE(now.second, 59);
}

}  // namespace
}  // namespace pw
