// Automatic runs of Postwright.exe against Windows Mail, Eudora and
// Thunderbird as the default mail client: the client's default account when
// it is the provider's (a vanity domain at the provider's servers), or the one
// "-s" finds whoever's it is, rewritten under its own address with its display
// name kept (a Hebrew one); another provider's default account, and the other
// errors, leave every store as it was; "-x" ends a running client first.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "DummyProgram.h"
#include "WineBed.h"
#include "WineTest.h"

namespace pw {
namespace {

using namespace std::string_literals;

constexpr char kMailLink[] = "mailto\\shell\\open\\command";
constexpr char kPopHost[] = "pop.quillset.example";
// "Dana" in Hebrew, in UTF-8 and in code page 1255.
const std::string kDanaUtf8 = "\xD7\x93\xD7\xA0\xD7\x94 Lee";
const std::string kDana1255 = "\xE3\xF0\xE4 Lee";

std::string Utf16Le(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                        static_cast<int>(wide.size()));
  std::string bytes;
  for (int i = 0; i < units; ++i) {
    bytes += static_cast<char>(wide[i] & 0xFF);
    bytes += static_cast<char>(wide[i] >> 8);
  }
  return bytes;
}

bool Holds(const std::optional<std::string>& bytes, const std::string& text) {
  return bytes && bytes->find(text) != std::string::npos;
}

// One client: how it is made the default, its two accounts (ann's the
// default unless told otherwise, bob's at @mail.test), and what a run did to them.
struct FileClient {
  const char* name;
  const char* exe;
  const char* mail_link;
  // ann's incoming server is `ann_host`.
  void (*seed)(bool with_default, const std::string& ann_host);
  // Which accounts name the provider's POP3 server now: "ann", "bob", both or "".
  std::string (*rewritten)();
  // Whether ann's account still has her Hebrew display name.
  bool (*kept_display_name)();
};

// ---- Windows Mail

std::string LocalFolders() {
  char profile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  EXPECT_TRUE(length > 0 && length < sizeof profile);
  return std::string(profile, length) + "\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
}

std::string MailAccountFile(const std::string& display_name, const std::string& address,
                            const std::string& host = "pop.other.test") {
  return "\xFF\xFE" + Utf16Le("<?xml version=\"1.0\" encoding=\"utf-16\" ?>\r\n<MessageAccount>\r\n"
                              "    <Account_Name type=\"SZ\">" + address + "</Account_Name>\r\n"
                              "    <POP3_Server type=\"SZ\">" + host + "</POP3_Server>\r\n"
                              "    <SMTP_Display_Name type=\"SZ\">" + display_name + "</SMTP_Display_Name>\r\n"
                              "    <SMTP_Email_Address type=\"SZ\">" + address + "</SMTP_Email_Address>\r\n"
                              "</MessageAccount>\r\n");
}

void SeedWindowsMail(bool with_default, const std::string& ann_host) {
  bed::SeedValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail", "Store Root", REG_EXPAND_SZ,
                 bed::WithNul("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\"));
  bed::SeedFile(LocalFolders() + "\\account{A}.oeaccount", MailAccountFile(kDanaUtf8, "ann@example.org", ann_host));
  bed::SeedFile(LocalFolders() + "\\account{B}.oeaccount", MailAccountFile("Bob Ray", "bob@mail.test"));
  if (with_default)
    bed::SeedText(HKEY_CURRENT_USER, "Software\\Microsoft\\IAM", "Default Mail Account", "account{A}.oeaccount");
}

std::string WindowsMailRewritten() {
  const std::string server = Utf16Le(">"s + kPopHost + "<");
  return std::string(Holds(bed::ReadBytes(LocalFolders() + "\\account{A}.oeaccount"), server) ? "ann" : "") +
         (Holds(bed::ReadBytes(LocalFolders() + "\\account{B}.oeaccount"), server) ? "bob" : "");
}

bool WindowsMailKeptName() {
  return Holds(bed::ReadBytes(LocalFolders() + "\\account{A}.oeaccount"),
               Utf16Le("<SMTP_Display_Name type=\"SZ\">" + kDanaUtf8 + "</SMTP_Display_Name>"));
}

// ---- Eudora

std::string EudoraIni() { return bed::AppDataFolder() + "\\Qualcomm\\Eudora\\Eudora.ini"; }

void SeedEudora(bool with_default, const std::string& ann_host) {
  bed::SeedFile(EudoraIni(), "[Settings]\r\nRealName=" + kDana1255 + "\r\n" +
                                 (with_default ? "ReturnAddress=ann@example.org\r\n" : "") +
                                 "PopServer=" + ann_host + "\r\n\r\n[Personalities]\r\nPersona0=Persona-bob\r\n"
                                 "[Persona-bob]\r\nRealName=Bob Ray\r\nReturnAddress=bob@mail.test\r\n"
                                 "PopServer=pop.mail.test\r\n");
}

std::string ProfileText(const char* section, const char* key) {
  char value[256] = "";
  GetPrivateProfileStringA(section, key, "", value, sizeof value, EudoraIni().c_str());
  return value;
}

std::string EudoraRewritten() {
  return std::string(ProfileText("Settings", "PopServer") == kPopHost ? "ann" : "") +
         (ProfileText("Persona-bob", "PopServer") == kPopHost ? "bob" : "");
}

bool EudoraKeptName() { return Holds(bed::ReadBytes(EudoraIni()), "\r\nRealName=" + kDana1255 + "\r\n"); }

// ---- Thunderbird

std::string PrefsJs() { return bed::AppDataFolder() + "\\Thunderbird\\Profiles\\ab12cd34.default\\prefs.js"; }

void SeedThunderbird(bool with_default, const std::string& ann_host) {
  bed::SeedFile(bed::AppDataFolder() + "\\Thunderbird\\profiles.ini",
                "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                "Path=Profiles/ab12cd34.default\r\n");
  bed::SeedFile(PrefsJs(),
                "user_pref(\"mail.accountmanager.accounts\", \"account2,account1\");\r\n"s +
                    (with_default ? "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\r\n" : "") +
                    "user_pref(\"mail.account.account1.identities\", \"id1\");\r\n"
                    "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
                    "user_pref(\"mail.account.account2.identities\", \"id2\");\r\n"
                    "user_pref(\"mail.account.account2.server\", \"server2\");\r\n"
                    "user_pref(\"mail.identity.id1.fullName\", \"" + kDanaUtf8 + "\");\r\n"
                    "user_pref(\"mail.identity.id1.useremail\", \"ann@example.org\");\r\n"
                    "user_pref(\"mail.identity.id2.fullName\", \"Bob Ray\");\r\n"
                    "user_pref(\"mail.identity.id2.useremail\", \"bob@mail.test\");\r\n"
                    "user_pref(\"mail.server.server1.hostname\", \"" + ann_host + "\");\r\n"
                    "user_pref(\"mail.server.server2.hostname\", \"pop.mail.test\");\r\n");
}

std::string ThunderbirdRewritten() {
  const std::optional<std::string> prefs = bed::ReadBytes(PrefsJs());
  const auto host = [](const char* server) {
    return "user_pref(\"mail.server."s + server + ".hostname\", \"" + kPopHost + "\");";
  };
  return std::string(Holds(prefs, host("server1")) ? "ann" : "") + (Holds(prefs, host("server2")) ? "bob" : "");
}

bool ThunderbirdKeptName() {
  return Holds(bed::ReadBytes(PrefsJs()), "user_pref(\"mail.identity.id1.fullName\", \"" + kDanaUtf8 + "\");");
}

const FileClient kWindowsMail = {"Windows Mail", "WinMail.exe",
                                 "\"C:\\Program Files\\Windows Mail\\WinMail.exe\" /mailurl:%1", SeedWindowsMail,
                                 WindowsMailRewritten, WindowsMailKeptName};
const FileClient kEudora = {"Eudora", "Eudora.exe", "C:\\Program Files\\Qualcomm\\Eudora\\Eudora.exe /m %1",
                            SeedEudora, EudoraRewritten, EudoraKeptName};
const FileClient kThunderbird = {"Thunderbird", "thunderbird.exe",
                                 "\"C:\\Program Files\\Mozilla Thunderbird\\thunderbird.exe\" -osint -compose \"%1\"",
                                 SeedThunderbird, ThunderbirdRewritten, ThunderbirdKeptName};

bool LogHas(const std::string& line) {
  const std::vector<std::string> lines = bed::LogLines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The changes since `before`, one a line, but for the run log's.
std::string ChangesBesidesLog(const bed::State& before) {
  std::istringstream lines(bed::DescribeChanges(before, bed::CaptureState()));
  std::string changes;
  for (std::string line; std::getline(lines, line);)
    if (line.compare(0, bed::LogPath().size(), bed::LogPath()) != 0) changes += line + "\n";
  return changes;
}

void ExpectAutomaticRuns(const FileClient& client) {
  const char* vanity = "mail.quillset.example";  // ann's own domain, the provider's servers
  const char* other = "pop.other.test";          // another provider's
  const struct {
    const char* arguments;
    bool with_default;
    const char* ann_host;
    DWORD exit_code;
    const char* rewritten;
    const char* log_line;  // a line the run's log holds
  } kRuns[] = {
      {"-auto -p \"QS \" -u", true, vanity, 0, "ann", "Default E-Mail Address: ann@example.org"},
      {"-auto -p \"QS \" -u", true, other, 1, "", "Email Client Configuration failed with error : notProvider"},
      {"-auto -p \"QS \" -s \"ann@\" -u", true, other, 0, "ann", "Default E-Mail Address: ann@example.org"},
      {"-auto -p \"QS \" -s \"@mail\" -u", true, other, 0, "bob", "Default Display Name: Bob Ray"},
      {"-auto -p \"QS \"", true, vanity, 1, "", "Email Client Configuration failed with error code: 5"},
      {"-auto -p \"QS \" -s \"nobody\" -u", true, other, 1, "",
       "Email Client Configuration failed with error : noDefault"},
      {"-auto -p \"QS \" -u", false, vanity, 1, "", "Email Client Configuration failed with error : defaultDNE"},
  };
  for (const auto& r : kRuns) {
    SCOPED_TRACE(client.name + " "s + r.arguments);
    bed::Reset();
    bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", client.mail_link);
    client.seed(r.with_default, r.ann_host);
    const bed::State before = bed::CaptureState();
    const bed::RunResult run = bed::RunPostwright(r.arguments);
    ASSERT_TRUE(run.started && !run.timed_out);
    EXPECT_EQ(r.exit_code, run.exit_code);
    EXPECT_EQ(r.rewritten, client.rewritten());
    EXPECT_TRUE(LogHas(r.log_line));
    EXPECT_TRUE(client.kept_display_name());
    if (r.exit_code != 0) {
      EXPECT_EQ("", ChangesBesidesLog(before)) << "nothing but the log is written";
    }
  }

  // "-x": the running client is ended first, then its default account rewritten.
  bed::Reset();
  bed::SeedText(HKEY_CLASSES_ROOT, kMailLink, "", client.mail_link);
  client.seed(true, vanity);
  bed::DummyProgram running(client.exe);
  ASSERT_TRUE(running.started());
  const bed::RunResult run = bed::RunPostwright("-auto -p \"QS \" -u -x");
  EXPECT_EQ(0u, run.exit_code) << client.name;
  EXPECT_TRUE(running.WaitForEnd(5000)) << client.name;
  EXPECT_EQ("ann", client.rewritten()) << client.name;
  EXPECT_TRUE(LogHas("Running Email Client Detected: "s + client.exe + ". Closed.")) << client.name;
}

class AutomaticWineTest : public WineTest {};

TEST_F(AutomaticWineTest, WindowsMail) { ExpectAutomaticRuns(kWindowsMail); }
TEST_F(AutomaticWineTest, Eudora) { ExpectAutomaticRuns(kEudora); }
TEST_F(AutomaticWineTest, Thunderbird) { ExpectAutomaticRuns(kThunderbird); }

}  // namespace
}  // namespace pw
