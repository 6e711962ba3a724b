// Whole runs of Postwright.exe whose outcome does not depend on a client.
#include <regex>
#include <string>
#include <vector>

#include "WineTest.h"

namespace pw {
namespace {

// The run's time stamps vary; everything else is compared byte for byte.
std::vector<std::string> WithoutTimes(std::vector<std::string> lines) {
  const std::regex stamp("[0-9]{2}:[0-9]{2}:[0-9]{2} on [0-9]{2}/[0-9]{2}/[0-9]{2}");
  for (std::string& line : lines) line = std::regex_replace(line, stamp, "<time>");
  return lines;
}

const std::vector<std::string> kHeaderAndNoClients = {
    "Postwright - Quillset Log",
    "-------------------------------------------",
    "",
    "* Beginning Configuration (command line) at <time> *",
    "",
    "Searching for Mozilla Thunderbird ... not detected.",
    "Searching for Qualcomm Eudora ... not detected.",
    "Searching for Microsoft Outlook Express ... not detected.",
    "Searching for Microsoft Windows Mail ... not detected.",
    "Searching for Microsoft Outlook ... not detected.",
    "",
    "Detecting default e-mail client ... done.",
    "",
};

std::string UnknownClient(int number) {
  return "Description: ERROR: There is no mail client number " + std::to_string(number) +
         "; the numbers are 0 (Microsoft Outlook Express), 1 (Microsoft Outlook), 2 (Microsoft Windows Mail), 3 "
         "(Qualcomm Eudora) or 4 (Mozilla Thunderbird).";
}

std::vector<std::string> Expect(std::vector<std::string> tail) {
  std::vector<std::string> all = kHeaderAndNoClients;
  all.insert(all.end(), tail.begin(), tail.end());
  return all;
}

using RunTest = WineTest;

TEST_F(RunTest, ExplicitRunForAnUnknownClientLeavesTheWholeRecord) {
  const bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c 7 -a jdoe");
  ASSERT_TRUE(run.started);
  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ("Postwright: " + UnknownClient(7).substr(13) + " (log: " + bed::LogPath() + ")\n", run.err);
  EXPECT_EQ(Expect({"User Entered E-Mail Address: jdoe@quillset.example", "User Entered Display Name: Jo Doe",
                    "Make Account Default: No", "Overwrite Existing Account: No",
                    "Email Client Configuration failed with error code: -1", UnknownClient(7),
                    "* Configuration Failed at <time> *", ""}),
            WithoutTimes(bed::LogLines()));
}

TEST_F(RunTest, SecondRunAppendsItsRecord) {
  bed::RunPostwright("-n \"Jo Doe\" -c 7 -a jdoe");
  const std::string first = bed::ReadLog().value_or("");
  const bed::RunResult run = bed::RunPostwright("-d -u -n \"Ann -Lee\" -c 5 -a ann");
  EXPECT_EQ(1u, run.exit_code);
  const std::string both = bed::ReadLog().value_or("");
  ASSERT_EQ(first, both.substr(0, first.size()));
  EXPECT_EQ(Expect({"User Entered E-Mail Address: ann@quillset.example", "User Entered Display Name: Ann -Lee",
                    "Make Account Default: Yes", "Overwrite Existing Account: Yes",
                    "Email Client Configuration failed with error code: -1", UnknownClient(5),
                    "* Configuration Failed at <time> *", ""}),
            WithoutTimes(bed::SplitLines(both.substr(first.size()))));
}

TEST_F(RunTest, AutomaticRunWithoutDefaultClientIsUnsupported) {
  const bed::State before = bed::CaptureState();
  const bed::RunResult run = bed::RunPostwright("-auto -p \"QS \" -u");
  EXPECT_EQ(1u, run.exit_code);
  EXPECT_EQ(Expect({"Automatically Configuring from default email client's default account.",
                    "Email Client Configuration failed with error : unsupportedDef",
                    "Description: The system's default email client is not supported by Postwright.",
                    "* Configuration Failed at <time> *", ""}),
            WithoutTimes(bed::LogLines()));
  const bed::State after = bed::CaptureState();
  EXPECT_TRUE(before.trees == after.trees) << "no client's registry was touched";
}

TEST_F(RunTest, ThunderbirdAndOutlook2003WithThunderbirdAsMailHandler) {
  bed::SeedKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Mozilla Thunderbird");
  bed::SeedText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Clients\\Mail\\Microsoft Outlook", "MSIApplicationLCID",
                "Software\\Microsoft\\Office\\11.0\\Outlook");
  bed::SeedText(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", "",
                "\"C:\\Program Files\\Mozilla Thunderbird\\thunderbird.exe\" -osint -compose \"%1\"");
  const bed::RunResult run = bed::RunPostwright("-n \"Jo Doe\" -c 7 -a jdoe");
  EXPECT_EQ(1u, run.exit_code);
  const std::vector<std::string> lines = WithoutTimes(bed::LogLines());
  ASSERT_GE(lines.size(), 13u);
  EXPECT_EQ((std::vector<std::string>{"Searching for Mozilla Thunderbird ... found.",
                                      "Searching for Qualcomm Eudora ... not detected.",
                                      "Searching for Microsoft Outlook Express ... not detected.",
                                      "Searching for Microsoft Windows Mail ... not detected.",
                                      "Searching for Microsoft Outlook ... found. (Version 11)", "",
                                      "Detecting default e-mail client ... done.", ""}),
            std::vector<std::string>(lines.begin() + 5, lines.begin() + 13));
}

}  // namespace
}  // namespace pw
