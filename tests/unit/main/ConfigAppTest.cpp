// The application object: a command line that cannot run, and a run as the
// system account, change nothing and say why in one line.
#include "main/ConfigApp.h"

#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

TEST(ConfigApp, MissingOptionOrRefusedUserNameWritesNothingButOneLine) {
  const std::string refused = "Postwright: the user name given with -a holds a backslash.\n";
  const struct {
    const char* line;
    std::string error;
  } kCases[] = {
      {"-auto", kUsageLine},          {"-auto -s \"x\"", kUsageLine},
      {"-n \"Jo\" -c 1", kUsageLine}, {"-c 1 -a jdoe", kUsageLine},
      {"-n \"Jo\" -a jdoe", kUsageLine}, {"-n \"Jo\" -c 0 -a a\\b -u", refused},
  };
  for (const auto& c : kCases) {
    RunTestBed bed;
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    bed.machine.registry.PutKey(RegRoot::kCurrentUser, accounts);
    EXPECT_EQ(2, bed.Run(c.line)) << c.line;
    EXPECT_EQ(c.error, bed.machine.std_out.err) << c.line;
    EXPECT_FALSE(bed.machine.files.HasFile(kLogPath)) << c.line;
    EXPECT_FALSE(bed.machine.registry.HasKey(RegRoot::kCurrentUser, accounts + "\\a")) << c.line;
    EXPECT_TRUE(bed.host.runs().empty());
  }
}

// A deployment job left at its defaults runs the program as the system
// account: every mode is refused before the log, a store or a client is touched.
TEST(ConfigApp, RunAsLocalSystemIsRefusedWithNothingTouched) {
  for (const char* line : {"-n \"Jo\" -c 0 -a jdoe -d", "-auto -p \"QS \" -x", "", "-c 1"}) {
    RunTestBed bed;
    bed.machine.environment.SetLocalSystem(true);
    const std::string accounts = "Software\\Microsoft\\Internet Account Manager\\Accounts";
    bed.machine.registry.PutKey(RegRoot::kCurrentUser, accounts);
    const uint32_t client = bed.machine.processes.Add("msimn.exe");
    EXPECT_EQ(2, bed.Run(line)) << line;
    EXPECT_EQ("Postwright: refused to run as LocalSystem, whose mail settings no user sees; run it as the "
              "logged-on user\n",
              bed.machine.std_out.err)
        << line;
    EXPECT_EQ("", bed.machine.std_out.out) << line;
    EXPECT_FALSE(bed.machine.files.HasFile(kLogPath)) << line;
    RegKeyPtr key;
    uint32_t subkeys = 1;
    ASSERT_EQ(err::kSuccess, bed.machine.registry.OpenKey(RegRoot::kCurrentUser, accounts, RegAccess::kRead, &key));
    ASSERT_EQ(err::kSuccess, key->CountSubkeys(&subkeys));
    EXPECT_EQ(0u, subkeys) << line;
    EXPECT_TRUE(bed.machine.processes.Running(client)) << line;
    EXPECT_TRUE(bed.host.runs().empty()) << line;
  }
}

}  // namespace
}  // namespace pw
