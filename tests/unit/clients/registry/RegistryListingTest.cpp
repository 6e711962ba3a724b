#include "clients/registry/RegistryListing.h"

#include <gtest/gtest.h>

#include "unit/run/RunTestBed.h"

namespace pw {
namespace {

// The listing of the messaging keys in failure reports.

struct Dump : ::testing::Test {
  std::string DumpOf(const std::string& path) {
    EXPECT_EQ(err::kSuccess, bed.log.Open(bed.machine.files, bed.machine.clock, kLogPath));
    DumpRegistryTree(bed.machine.registry, path, 0, bed.log);
    bed.log.Close();
    return bed.Log();
  }
  RunTestBed bed;
};

TEST_F(Dump, DepthFirstWithThreeBlanksPerLevel) {
  const std::string root = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676\\00000001");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Outlook\\0a0d020000000000c000000000000046");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\Profiles\\Backup");
  const std::string long_name(150, 'k');  // longer than the program's old 100-byte buffer
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, root + "\\" + long_name + "\\below");
  EXPECT_EQ(long_name + "\r\n   below\r\n" +
                "Profiles\r\n"
                "   Backup\r\n"
                "   Outlook\r\n"
                "      0a0d020000000000c000000000000046\r\n"
                "      9375CFF0413111d3B88A00104B2A6676\r\n"
                "         00000001\r\n",
            DumpOf(root));
}

TEST_F(Dump, UnopenableKeysGiveAnUnindentedErrorLine) {
  EXPECT_EQ("error: 2\r\n", DumpOf("Software\\Missing"));
  RunTestBed again;
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Top\\Locked\\Inner");
  bed.machine.registry.PutKey(RegRoot::kCurrentUser, "Software\\Top\\Open");
  bed.machine.registry.DenyWrite(RegRoot::kCurrentUser, "Software\\Top\\Locked");
  EXPECT_EQ("error: 2\r\nLocked\r\nerror: 5\r\nOpen\r\n", DumpOf("Software\\Top"));
}

}  // namespace
}  // namespace pw
