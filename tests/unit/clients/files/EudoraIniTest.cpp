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

}  // namespace
}  // namespace pw
