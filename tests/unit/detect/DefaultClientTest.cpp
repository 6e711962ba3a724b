#include "detect/DefaultClient.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/MemoryRegistry.h"
#include "clients/MailClients.h"

namespace pw {
namespace {

using namespace std::string_literals;

constexpr char kMailto[] = "mailto\\shell\\open\\command";

DefaultClientCode DefaultFor(uint32_t type, const std::string& data) {
  MemoryRegistry registry;
  registry.Put(RegRoot::kClassesRoot, kMailto, "", type, data);
  return DetectDefaultClient(registry, MailClientMarks());
}

DefaultClientCode DefaultFor(const std::string& command) { return DefaultFor(regtype::kSz, command + '\0'); }

TEST(DefaultClient, EachClientIsRecognisedByItsProgramNameInAnyCase) {
  EXPECT_EQ(1, DefaultFor("\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1"));
  EXPECT_EQ(1, DefaultFor("C:\\PROGRA~1\\OUTLOO~1\\MSIMN.EXE /mailurl:%1"));
  EXPECT_EQ(2, DefaultFor("\"C:\\Program Files\\Microsoft Office\\OFFICE11\\OUTLOOK.EXE\" -c IPM.Note /m \"%1\""));
  EXPECT_EQ(3, DefaultFor("\"%ProgramFiles%\\Windows Mail\\WinMail.exe\" /mailurl:%1"));
  EXPECT_EQ(4, DefaultFor("C:\\Program Files\\Qualcomm\\Eudora\\Eudora.exe %1"));
  EXPECT_EQ(5, DefaultFor("\"C:\\Program Files\\Mozilla Thunderbird\\thunderbird.exe\" -osint -compose \"%1\""));
  EXPECT_EQ(5, DefaultFor("C:\\THUNDERSTRUCK\\mail.exe"));  // only "thunde" is looked for
}

TEST(DefaultClient, LaterProgramNamesWinOverEarlierOnes) {
  EXPECT_EQ(1, DefaultFor("C:\\Office\\OUTLOOK.EXE --via C:\\Outlook Express\\msimn.exe"));
  EXPECT_EQ(1, DefaultFor("msimn thunderbird eudora winmail"));
  EXPECT_EQ(2, DefaultFor("thunderbird.exe -compose outlook.exe"));
  EXPECT_EQ(3, DefaultFor("thunderbird.exe -profile C:\\winmail\\ %1"));  // inside an argument too
  EXPECT_EQ(3, DefaultFor("eudora.exe winmail"));
  EXPECT_EQ(4, DefaultFor("thunderbird.exe -import eudora"));
}

TEST(DefaultClient, OtherOrMissingCommandsRecogniseNothing) {
  EXPECT_EQ(0, DefaultFor("C:\\windows\\system32\\winebrowser.exe -nohome"));
  EXPECT_EQ(0, DefaultFor("C:\\Office\\outlook.ex %1"));  // "outlook.exe" must be whole
  EXPECT_EQ(0, DefaultFor("win mail"));
  EXPECT_EQ(0, DefaultFor(""));
  EXPECT_EQ(0, DefaultFor(regtype::kSz, "winebrowser.exe\0msimn.exe\0"s));  // text ends at NUL

  MemoryRegistry registry;
  EXPECT_EQ(0, DetectDefaultClient(registry, MailClientMarks()));  // no key
  registry.PutText(RegRoot::kClassesRoot, kMailto, "Other", "msimn.exe");
  EXPECT_EQ(0, DetectDefaultClient(registry, MailClientMarks()));  // key without a default value
  registry.PutText(RegRoot::kClassesRoot, kMailto, "", "msimn.exe");
  EXPECT_EQ(1, DetectDefaultClient(registry, MailClientMarks()));
  registry.DenyAccess(RegRoot::kClassesRoot, kMailto);
  EXPECT_EQ(0, DetectDefaultClient(registry, MailClientMarks()));
}

TEST(DefaultClient, CommandIsReadWhateverItsTypeIntoA300ByteBuffer) {
  EXPECT_EQ(1, DefaultFor(regtype::kExpandSz, "%ProgramFiles%\\Outlook Express\\msimn.exe\0"s));
  EXPECT_EQ(4, DefaultFor(regtype::kSz, "eudora.exe %1"));  // stored without its NUL

  const std::string program = "C:\\Outlook Express\\msimn.exe";
  const std::string fits = program + std::string(300 - 1 - program.size(), ' ');  // 300 bytes with its NUL
  EXPECT_EQ(1, DefaultFor(fits));
  EXPECT_EQ(0, DefaultFor(fits + "x"));  // does not fit: counts as empty
}

}  // namespace
}  // namespace pw
