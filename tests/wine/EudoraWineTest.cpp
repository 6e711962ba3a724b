// Eudora.ini written by real runs of Postwright.exe and read back the way
// Eudora reads it, with the Windows profile functions: a personality added
// to the file in the user's application data, a found one rewritten in the
// file beside the program that App Paths names, and files that the profile
// functions read otherwise than line by line would suggest.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "../unit/clients/files/EudoraLayouts.h"
#include "../thunderbird/PrefsFixtures.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

// Section -> key -> value, as GetPrivateProfileStringA gives them.
using Profile = std::map<std::string, std::map<std::string, std::string>>;

constexpr char kRun[] = "-n \"Jo Doe\" -c 3 -a jdoe";

const std::vector<std::pair<std::string, std::string>> kPersonality = {
    {"POPAccount", "jdoe@quillset.example@pop.quillset.example"}, {"RealName", "Jo Doe"},
    {"SMTPServer", "smtp.quillset.example"}, {"ReturnAddress", "jdoe@quillset.example"},
    {"PopServer", "pop.quillset.example"}, {"LoginName", "jdoe@quillset.example"}, {"SmtpAuthAllowed", "1"},
    {"PopBeforeSmtpAuthTime", "0"}, {"LeaveMailOnServer", "0"}, {"SSLReceiveUse", "2"}, {"SSLSendUse", "2"},
    {"UsesIMAP", "0"}, {"UsesPOP", "1"}, {"PopPort", "995"}, {"SMTPPort", "465"}};

// The NUL-separated names GetPrivateProfileStringA lists for a null section
// (the sections) or a null key (the section's keys).
std::vector<std::string> ProfileNames(const char* section, const std::string& path) {
  std::string buffer(65536, '\0');
  const DWORD size = GetPrivateProfileStringA(section, nullptr, "", &buffer[0], static_cast<DWORD>(buffer.size()),
                                              path.c_str());
  std::vector<std::string> names;
  for (size_t start = 0; start < size; start = buffer.find('\0', start) + 1)
    names.push_back(buffer.substr(start, buffer.find('\0', start) - start));
  return names;
}

Profile ReadProfile(const std::string& path) {
  Profile profile;
  for (const std::string& section : ProfileNames(nullptr, path)) {
    for (const std::string& key : ProfileNames(section.c_str(), path)) {
      char value[4096] = "";
      GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, path.c_str());
      profile[section][key] = value;
    }
  }
  return profile;
}

// Seeds `ini` with `bytes`, runs Postwright.exe and expects the file to read
// back as it did before, but with jdoe's personality in `section` and the
// `listed` entry (if any) in [Personalities]. The file is read only after the
// run: before it, a copy is.
void ExpectPersonalityWrittenInto(const std::string& ini, const std::string& bytes, const std::string& arguments,
                                  const std::string& section, const std::string& listed = "") {
  bed::SeedFile(bed::ScratchFolder() + "\\before.ini", bytes);
  Profile expected = ReadProfile(bed::ScratchFolder() + "\\before.ini");
  bed::SeedFile(ini, bytes);

  const bed::RunResult run = bed::RunPostwright(arguments);
  ASSERT_TRUE(run.started && !run.timed_out);
  EXPECT_EQ(0u, run.exit_code);
  if (!listed.empty()) expected["Personalities"][listed] = section;
  for (const auto& key : kPersonality) expected[section][key.first] = key.second;
  EXPECT_EQ(expected, ReadProfile(ini));
  EXPECT_FALSE(bed::PathExists(ini.substr(0, ini.size() - 3) + "tmp"));
}

class EudoraWineTest : public WineTest {};

TEST_F(EudoraWineTest, APersonalityIsAddedAfterTheListedOnes) {
  const std::string ini = bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini";
  const std::string head = "[Settings]\r\nRealName=Ann Lee\r\nReturnAddress=ann@example.org\r\n"
                           "SMTPServer = \"smtp.example.org\"\r\n\r\n[Personalities]\r\nPersona0=Persona-bob\r\n";
  const std::string bob = "\r\n[Persona-bob]\r\nReturnAddress=bob@example.org\r\nPopPort=110\r\n";
  ExpectPersonalityWrittenInto(ini, head + bob, kRun, "Persona-jdoe@quillset.example", "Persona1");

  std::string personality = "Persona1=Persona-jdoe@quillset.example\r\n[Persona-jdoe@quillset.example]\r\n";
  for (const auto& key : kPersonality) personality += key.first + "=" + key.second + "\r\n";
  EXPECT_EQ(head + personality + bob, bed::ReadBytes(ini).value_or("(missing)"));
}

// App Paths read as Windows starts the program: plain, quoted, or a
// REG_EXPAND_SZ with a variable in it.
TEST_F(EudoraWineTest, AFoundPersonalityBesideTheProgramIsRewritten) {
  const std::string folder = bed::ScratchFolder() + "\\Eudora";
  SetEnvironmentVariableA("POSTWRIGHT_EUDORA_FOLDER", folder.c_str());
  const struct {
    DWORD type;
    std::string path;
  } kForms[] = {
      {REG_SZ, folder + "\\Eudora.exe"},
      {REG_SZ, "\"" + folder + "\\Eudora.exe\""},
      {REG_EXPAND_SZ, "%POSTWRIGHT_EUDORA_FOLDER%\\Eudora.exe"},
  };
  for (const auto& form : kForms) {
    SCOPED_TRACE(form.path);
    bed::Reset();
    bed::SeedValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe", "",
                   form.type, bed::WithNul(form.path));
    ExpectPersonalityWrittenInto(folder + "\\Eudora.ini",
                                 "[Settings]\r\nRealName=Ann Lee\r\nReturnAddress=ann@example.org\r\n\r\n"
                                 "[Personalities]\r\nPersona0=Persona-work\r\n\r\n[Persona-work]\r\nRealName=Old\r\n"
                                 "ReturnAddress = JDoe@Quillset.example\r\nPopPort=110\r\nSMTPPort=25\r\n"
                                 "Signature=Regards\r\n\r\n[Other]\r\nPopPort=110\r\n",
                                 std::string(kRun) + " -u", "Persona-work");
  }
  SetEnvironmentVariableA("POSTWRIGHT_EUDORA_FOLDER", nullptr);
}

// The personality with jdoe's return address as Eudora finds it through the profile functions: [Settings], then
// the sections [Personalities] names; empty for none.
std::string FoundPersonality(const Profile& profile) {
  std::vector<std::string> sections{"Settings"};
  if (profile.count("Personalities"))
    for (const auto& entry : profile.at("Personalities")) sections.push_back(entry.second);
  for (const std::string& section : sections) {
    if (!profile.count(section) || !profile.at(section).count("ReturnAddress")) continue;
    if (lstrcmpiA(profile.at(section).at("ReturnAddress").c_str(), "jdoe@quillset.example") == 0) return section;
  }
  return "";
}

TEST_F(EudoraWineTest, OddFilesAreReadAndWrittenAsTheProfileFunctionsReadThem) {
  const std::string ini = bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini";
  for (const EudoraLayout& layout : OddEudoraLayouts()) {
    SCOPED_TRACE(layout.name);
    bed::SeedFile(bed::ScratchFolder() + "\\odd.ini", Crlf(layout.before));
    const std::string found = FoundPersonality(ReadProfile(bed::ScratchFolder() + "\\odd.ini"));
    EXPECT_EQ(layout.listed.empty() && layout.section != "Settings" ? layout.section : "", found);
    ExpectPersonalityWrittenInto(ini, Crlf(layout.before), std::string(kRun) + (layout.overwrite ? " -u" : ""),
                                 layout.section, layout.listed);
    EXPECT_EQ(Crlf(layout.after), bed::ReadBytes(ini).value_or("(missing)"));
  }
}

}  // namespace
}  // namespace pw
