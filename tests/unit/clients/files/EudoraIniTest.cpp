#include "clients/files/EudoraIni.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pw {
namespace {

// What automatic mode reads of Eudora.ini: the personalities in the order Eudora lists them, with the values the
// profile functions give.
TEST(EudoraIni, PersonalitiesInListOrderWithTheirFirstValues) {
  const EudoraIni ini = EudoraIni::Read(
      "\xEF\xBB\xBF[Settings]\r\nRealName = \"Ann Lee\"\r\nReturnAddress=ann@example.org\r\nRealName=Other\r\n"
      "[Personalities]\r\nPersona1=Persona-c\r\nPersona0=Persona-b\r\npersona1=Persona-x\r\nPersona2=persona-B\r\n"
      "Persona3=Persona-missing\r\nNote=Persona-d\r\n"
      "[Persona-b]\r\nReturnAddress=b@x\r\n[Persona-c]\r\nRealName=C\r\n[Persona-d]\r\nReturnAddress=d@x\r\n"
      "[Persona-x]\r\nReturnAddress=x@x\r\n[Settings]\r\nReturnAddress=late@x\r\n");
  std::vector<std::string> read;
  for (const EudoraPersonality& p : ini.Personalities())
    read.push_back(p.section + " " + std::to_string(p.header) + " " + p.return_address + " " + p.real_name);
  EXPECT_EQ(std::vector<std::string>({"Settings 0 ann@example.org Ann Lee", "Persona-c 13  C", "Persona-b 11 b@x "}),
            read);
  EXPECT_EQ("ann@example.org", ini.Value("settings", "RETURNADDRESS").value_or("(none)"));
  EXPECT_FALSE(ini.Value("Persona-c", "ReturnAddress"));
  EXPECT_FALSE(ini.Value("Persona-missing", "RealName"));
  EXPECT_EQ(3, ini.FindLastPersonaNumber());
  EXPECT_EQ("\xEF\xBB\xBF[Settings]\r\n", ini.Bytes().substr(0, 15));
}

// Every change moves lines: what is asked after it is read from the changed lines, not from those read before.
TEST(EudoraIni, QuestionsAfterAChangeSeeTheChangedLines) {
  EudoraIni ini = EudoraIni::Read("[Persona-a]\r\nReturnAddress=a@x\r\n\r\n");
  ASSERT_TRUE(ini.FindPersonality("persona-A"));  // read before the changes
  ini.FillDominantPersonality({{"RealName", "N"}, {"ReturnAddress", "n@x"}});
  EXPECT_EQ(3u, ini.FindPersonality("SETTINGS").value_or(99));
  EXPECT_EQ("n@x", ini.Value("Settings", "ReturnAddress").value_or("(none)"));
  EXPECT_EQ("Persona-b@x", ini.AddPersonality("b@x", {{"ReturnAddress", "b@x"}}));
  EXPECT_EQ("Persona-b@x-2", ini.AddPersonality("b@x", {{"ReturnAddress", "c@x"}}));
  std::vector<std::string> read;
  for (const EudoraPersonality& p : ini.Personalities())
    read.push_back(p.section + " " + std::to_string(p.header) + " " + p.return_address);
  EXPECT_EQ(std::vector<std::string>({"Settings 3 n@x", "Persona-b@x 11 b@x", "Persona-b@x-2 9 c@x"}), read);
  EXPECT_EQ(9u, ini.FindReturnAddress("C@X").value_or(99));
  ini.RewriteSection(0, {{"RealName", "A"}});
  EXPECT_EQ(10u, ini.FindPersonality("Persona-b@x-2").value_or(99));
  EXPECT_EQ("c@x", ini.Value("Persona-b@x-2", "ReturnAddress").value_or("(none)"));
  EXPECT_EQ("A", ini.Value("Persona-a", "RealName").value_or("(none)"));
  EXPECT_EQ("[Persona-a]\r\nReturnAddress=a@x\r\nRealName=A\r\n\r\n[Settings]\r\nRealName=N\r\nReturnAddress=n@x\r\n"
            "[Personalities]\r\nPersona0=Persona-b@x\r\nPersona1=Persona-b@x-2\r\n[Persona-b@x-2]\r\nReturnAddress=c@x\r\n"
            "[Persona-b@x]\r\nReturnAddress=b@x\r\n",
            ini.Bytes());
}

}  // namespace
}  // namespace pw
