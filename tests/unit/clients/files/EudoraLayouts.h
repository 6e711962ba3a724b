// Eudora.ini files that the Windows profile functions read otherwise than
// line by line would suggest (a byte-order mark, a section or a key twice, a
// section no list names, a personality that works without a name), and what
// Postwright makes of each for jdoe@quillset.example shown as "Jo Doe".
// Text written with "\n" line ends, as the file holds it with CR LF. Shared
// by the unit tests and the Wine runs, which read every file back with
// GetPrivateProfileString.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace pw {

// jdoe's lines but those of the keys a section `had`, each followed by "\n";
// `separator` ": " gives the run log's.
inline std::string Personality(const std::set<std::string>& had = {}, const std::string& separator = "=",
                               const std::string& name = "Jo Doe") {
  const std::string rows[][2] = {
      {"POPAccount", "jdoe@quillset.example@pop.quillset.example"}, {"RealName", name},
      {"SMTPServer", "smtp.quillset.example"}, {"ReturnAddress", "jdoe@quillset.example"},
      {"PopServer", "pop.quillset.example"}, {"LoginName", "jdoe@quillset.example"}, {"SmtpAuthAllowed", "1"},
      {"PopBeforeSmtpAuthTime", "0"}, {"LeaveMailOnServer", "0"}, {"SSLReceiveUse", "2"}, {"SSLSendUse", "2"},
      {"UsesIMAP", "0"}, {"UsesPOP", "1"}, {"PopPort", "995"}, {"SMTPPort", "465"}};
  std::string text;
  for (const auto& row : rows)
    if (!had.count(row[0])) text += row[0] + separator + row[1] + "\n";
  return text;
}

struct EudoraLayout {
  const char* name;
  std::string before;
  std::string after;
  bool overwrite;
  std::string section;  // where jdoe's personality is
  std::string listed;   // the entry of [Personalities] that names it when it is new
};

inline std::vector<EudoraLayout> OddEudoraLayouts() {
  const std::string ann = "[Settings]\nRealName=Ann Lee\nReturnAddress=ann@example.org\n";
  const std::string jdoe = "Persona-jdoe@quillset.example";
  const std::string added = "[Personalities]\nPersona0=" + jdoe + "\n[" + jdoe + "]\n" + Personality();
  return {
      {"a UTF-8 byte-order mark before the empty dominant personality",
       "\xEF\xBB\xBF[Settings]\nRealName=\nReturnAddress=\nSavePassword=1\n",
       "\xEF\xBB\xBF[Settings]\nRealName=Jo Doe\nReturnAddress=jdoe@quillset.example\nSavePassword=1\n" +
           Personality({"RealName", "ReturnAddress"}),
       false, "Settings", ""},
      {"a second ReturnAddress is not read", ann + "ReturnAddress=jdoe@quillset.example\n",
       ann + "ReturnAddress=jdoe@quillset.example\n" + added, true, jdoe, "Persona0"},
      {"a second [Settings] is not read", ann + "\n[Settings]\nReturnAddress=jdoe@quillset.example\n",
       ann + "\n[Settings]\nReturnAddress=jdoe@quillset.example\n" + added, true, jdoe, "Persona0"},
      {"sections the list does not name are no personalities, and their names are taken",
       ann + "[Personalities]\nPersona0=Persona-b\nPersona1=" + jdoe + "-2\n[Persona-b]\nReturnAddress=b@x\n[" + jdoe +
           "]\nReturnAddress=jdoe@quillset.example\n",
       ann + "[Personalities]\nPersona0=Persona-b\nPersona1=" + jdoe + "-2\nPersona2=" + jdoe + "-3\n[" + jdoe + "-3]\n" +
           Personality() + "[Persona-b]\nReturnAddress=b@x\n[" + jdoe + "]\nReturnAddress=jdoe@quillset.example\n",
       true, jdoe + "-3", "Persona2"},
      {"the first of two return addresses and of two port lines is the personality's",
       ann + "[Personalities]\nPersona0=Persona-work\nPersona0=Persona-jdoe\n[Persona-work]\n"
             "ReturnAddress=JDOE@quillset.example\nPopPort=110\nPopPort=25\nReturnAddress=x@y\n",
       ann + "[Personalities]\nPersona0=Persona-work\nPersona0=Persona-jdoe\n[Persona-work]\n"
             "ReturnAddress=jdoe@quillset.example\nPopPort=995\nPopPort=25\nReturnAddress=x@y\n" +
           Personality({"ReturnAddress", "PopPort"}),
       true, "Persona-work", ""},
      {"a dominant personality that receives mail is in use without a name",
       "[Settings]\nRealName=\nReturnAddress=\nPOPAccount=ann@pop.example.org\n",
       "[Settings]\nRealName=\nReturnAddress=\nPOPAccount=ann@pop.example.org\n" + added, false, jdoe, "Persona0"},
      {"an empty dominant personality is filled, a second [Settings] left as it is",
       "[Settings]\nRealName=\n[Settings]\nRealName=Ann\nLoginName=ann\n",
       "[Settings]\nRealName=Jo Doe\n" + Personality({"RealName"}) + "[Settings]\nRealName=Ann\nLoginName=ann\n", false,
       "Settings", ""},
  };
}

}  // namespace pw
