// Command lines that lack a required option or give a user name that cannot
// make an address: the program must refuse them before it touches anything,
// say why in one line, and exit with status 2.
#include <gtest/gtest.h>

#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

const char kUsageLine[] =
    "usage: Postwright [-n \"display name\" -c client -a user [-d] [-u] [-whatif]]"
    " | [-auto -p \"prefix\" [-s \"address\"] [-d] [-u] [-x] [-whatif]] | [-restore [-x] [-whatif]]\n";

// A user with Outlook Express as the default client and one account in it,
// and Thunderbird registered too: a run that went ahead would have work to do.
void SeedMailUser() {
  bed::SeedText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Outlook Express", "", "Outlook Express");
  bed::SeedText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird", "", "Mozilla Thunderbird");
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                "\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1");
  const std::string manager = "Software\\Microsoft\\Internet Account Manager";
  bed::SeedText(HKEY_CURRENT_USER, manager, "Default Mail Account", "00000001");
  bed::SeedText(HKEY_CURRENT_USER, manager + "\\Accounts\\00000001", "Account Name", "Jo");
  bed::SeedText(HKEY_CURRENT_USER, manager + "\\Accounts\\00000001", "SMTP Email Address", "jdoe@quillset.example");
  bed::SeedText(HKEY_CURRENT_USER, manager + "\\Accounts\\00000001", "POP3 Server", "pop.elsewhere.example");
}

class CommandLineWineTest : public WineTest {};

TEST_F(CommandLineWineTest, MissingRequiredOptionStopsWithTheUsageLineAndTouchesNothing) {
  SeedMailUser();
  const bed::State before = bed::CaptureState();
  ASSERT_FALSE(bed::ReadLog().has_value());

  const char* const kIncomplete[] = {
      "-auto",                                     // automatic mode without its prefix
      "-auto -s \"jdoe@quillset.example\" -d -u -x",  // ... whatever else it has
      "-n \"Jo\" -c 1",                            // no user name
      "-n \"Jo\" -a jdoe -d",                      // no client
      "-c 0 -a jdoe -u",                           // no display name
  };
  for (const char* arguments : kIncomplete) {
    SCOPED_TRACE(arguments);
    const bed::RunResult run = bed::RunPostwright(arguments);
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(2u, run.exit_code);
    EXPECT_EQ(kUsageLine, run.err);
    EXPECT_EQ("", run.out);
    EXPECT_FALSE(bed::ReadLog().has_value());
    EXPECT_EQ("", bed::DescribeChanges(before, bed::CaptureState()));
  }
}

// "-a" with a backslash would name another account's key; an empty one would
// configure the bare domain.
TEST_F(CommandLineWineTest, UserNameThatCannotMakeAnAddressIsRefused) {
  SeedMailUser();
  const bed::State before = bed::CaptureState();
  const struct {
    const char* arguments;
    const char* error;
  } kRefused[] = {
      {"-n \"Jo\" -c 0 -a ..\\Accounts\\00000001 -u", "Postwright: the user name given with -a holds a backslash.\n"},
      {"-n \"Jo\" -c 0 -a  -u", "Postwright: the user name given with -a is empty.\n"},
      {"-auto -p \"..\\Accounts\\\" -u", "Postwright: the prefix given with -p holds a backslash.\n"},
      {"-auto -p \"QS\t\" -u -d", "Postwright: the prefix given with -p holds a control character.\n"},
  };
  for (const auto& refused : kRefused) {
    SCOPED_TRACE(refused.arguments);
    const bed::RunResult run = bed::RunPostwright(refused.arguments);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(2u, run.exit_code);
    EXPECT_EQ(refused.error, run.err);
    EXPECT_EQ("", run.out);
    EXPECT_FALSE(bed::ReadLog().has_value());
    EXPECT_EQ("", bed::DescribeChanges(before, bed::CaptureState()));
  }
}

TEST_F(CommandLineWineTest, MissingRequiredOptionLeavesAnEarlierLogAsItWas) {
  SeedMailUser();
  const std::string earlier =
      "Postwright - Quillset Log\r\n"
      "-------------------------------------------\r\n"
      "\r\n"
      "* Beginning Configuration (command line) at 09:15:00 on 03/04/24 *\r\n"
      "\r\n"
      "* Configuration Failed at 09:15:01 on 03/04/24 *\r\n"
      "\r\n";
  bed::SeedFile(bed::LogPath(), earlier);
  const bed::State before = bed::CaptureState();

  const bed::RunResult run = bed::RunPostwright("-auto -x -u");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(2u, run.exit_code);
  EXPECT_EQ(kUsageLine, run.err);
  EXPECT_EQ(earlier, bed::ReadLog().value_or("(no log)"));
  EXPECT_EQ("", bed::DescribeChanges(before, bed::CaptureState()));
}

}  // namespace
}  // namespace pw
