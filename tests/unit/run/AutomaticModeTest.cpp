// Whole automatic runs against Windows Mail, Eudora and Thunderbird on the
// twin: the account each client names as its default, when it is the
// provider's (or the one "-s" finds, whoever's it is) is rewritten once, under
// its own address and display name; the errors end the run with nothing
// written.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "unit/run/RunTestBed.h"
#include "clients/files/EudoraIni.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "unit/clients/files/WindowsMailFixtures.h"

namespace pw {
namespace {

using Lines = std::vector<std::string>;

const std::string kHost = kProvider.pop3_host;

// ---- the three stores: ann's account is the default, bob's another ----

const std::string kMailFolder = "C:\\Users\\jo\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
const std::string kAnnFile = kMailFolder + "\\account{A}.oeaccount";
const std::string kBobFile = kMailFolder + "\\account{B}.oeaccount";

// An account file whose incoming server is `host`.
std::string ForeignAccountFile(const std::string& display_name, const std::string& address,
                               const std::string& host = "pop.other.test") {
  std::string bytes = NewAccountFile(display_name, address);
  const std::string ours = Utf16File(kHost, false);
  return bytes.replace(bytes.find(ours), ours.size(), Utf16File(host, false));
}

// ann's incoming server is `ann_host` in every store.
void SeedWindowsMail(MemoryPlatform& m, bool with_default, const std::string& ann_host) {
  m.registry.PutText(RegRoot::kCurrentUser, "Software\\Microsoft\\Windows Mail", "Store Root",
                     "C:\\Users\\jo\\AppData\\Local\\Microsoft\\Windows Mail\\");
  if (with_default)
    m.registry.PutText(RegRoot::kCurrentUser, "Software\\Microsoft\\IAM", "Default Mail Account",
                       "account{A}.oeaccount");
  m.files.PutFolder(kMailFolder);
  m.files.PutFile(kAnnFile, ForeignAccountFile("Ann Lee", "ann@example.org", ann_host));
  m.files.PutFile(kBobFile, ForeignAccountFile("Bob Ray", "bob@mail.test"));
}

// Which account files now name the provider's POP3 server.
std::string WindowsMailRewritten(MemoryPlatform& m) {
  const std::string server = Utf16File("<POP3_Server type=\"SZ\">" + kHost + "<", false);
  std::string which;
  if (m.files.FileBytes(kAnnFile).find(server) != std::string::npos) which += "ann";
  if (m.files.FileBytes(kBobFile).find(server) != std::string::npos) which += "bob";
  return which;
}

const std::string kEudoraIni = std::string(kAppData) + "\\Qualcomm\\Eudora\\Eudora.ini";

// A second personality of ann's with her address in capitals: Eudora
// compares return addresses without letter case, the search with it.
void SeedEudora(MemoryPlatform& m, bool with_default, const std::string& ann_host) {
  m.files.PutFolder(std::string(kAppData) + "\\Qualcomm");
  m.files.PutFolder(std::string(kAppData) + "\\Qualcomm\\Eudora");
  m.files.PutFile(kEudoraIni, "[Settings]\r\nRealName=Ann Lee\r\nPopServer=" + ann_host + "\r\n" +
                                  (with_default ? "ReturnAddress=ann@example.org\r\n" : "") +
                                  "\r\n[Personalities]\r\nPersona0=Persona-bob\r\nPersona1=Persona-ann2\r\n"
                                  "[Persona-bob]\r\nRealName=Bob Ray\r\nReturnAddress=bob@mail.test\r\n"
                                  "[Persona-ann2]\r\nRealName=Ann Two\r\nReturnAddress=ANN@EXAMPLE.ORG\r\n");
}

std::string EudoraRewritten(MemoryPlatform& m) {
  const EudoraIni ini = EudoraIni::Read(m.files.FileBytes(kEudoraIni));
  std::string which;
  for (const auto& [section, name] : {std::pair<const char*, const char*>{"Settings", "ann"}, {"Persona-bob", "bob"},
                                      {"Persona-ann2", "ann2"}})
    if (ini.Value(section, "PopServer") == kHost) which += name;
  return which;
}

const std::string kPrefsJs = std::string(kAppData) + "\\Thunderbird\\Profiles\\abc.default\\prefs.js";

void SeedThunderbird(MemoryPlatform& m, bool with_default, const std::string& ann_host) {
  const std::string thunderbird = std::string(kAppData) + "\\Thunderbird";
  for (const std::string& folder : {thunderbird, thunderbird + "\\Profiles", thunderbird + "\\Profiles\\abc.default"})
    m.files.PutFolder(folder);
  m.files.PutFile(thunderbird + "\\profiles.ini",
                  "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\nDefault=1\r\n");
  m.files.PutFile(kPrefsJs,
                  std::string("user_pref(\"mail.accountmanager.accounts\", \"account1,account2\");\r\n") +
                      (with_default ? "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\r\n" : "") +
                      "user_pref(\"mail.account.account1.identities\", \"id1\");\r\n"
                      "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
                      "user_pref(\"mail.account.account2.identities\", \"id2\");\r\n"
                      "user_pref(\"mail.account.account2.server\", \"server2\");\r\n"
                      "user_pref(\"mail.identity.id1.fullName\", \"Ann Lee\");\r\n"
                      "user_pref(\"mail.identity.id1.useremail\", \"ann@example.org\");\r\n"
                      "user_pref(\"mail.identity.id2.fullName\", \"Bob Ray\");\r\n"
                      "user_pref(\"mail.identity.id2.useremail\", \"bob@mail.test\");\r\n"
                      "user_pref(\"mail.server.server1.hostname\", \"" + ann_host + "\");\r\n"
                      "user_pref(\"mail.server.server2.hostname\", \"pop.mail.test\");\r\n");
}

std::string ThunderbirdRewritten(MemoryPlatform& m) {
  const std::string prefs = m.files.FileBytes(kPrefsJs);
  std::string which;
  for (const auto& [server, name] : {std::pair<const char*, const char*>{"server1", "ann"}, {"server2", "bob"}})
    if (prefs.find(std::string("user_pref(\"mail.server.") + server + ".hostname\", \"" + kHost + "\");") !=
        std::string::npos)
      which += name;
  return which;
}

struct Client {
  DefaultClientCode code;
  const char* name;
  void (*seed)(MemoryPlatform&, bool with_default, const std::string& ann_host);
  std::string (*rewritten)(MemoryPlatform&);
  std::vector<std::string> store;  // its files
};

const Client kClients[] = {
    {3, "Windows Mail", SeedWindowsMail, WindowsMailRewritten, {kAnnFile, kBobFile}},
    {4, "Eudora", SeedEudora, EudoraRewritten, {kEudoraIni}},
    {5, "Thunderbird", SeedThunderbird, ThunderbirdRewritten, {kPrefsJs}},
};

std::string StoreBytes(const Client& client, MemoryPlatform& m) {
  std::string bytes;
  for (const std::string& path : client.store) bytes += m.files.FileBytes(path) + "\n";
  return bytes;
}

size_t Count(const Lines& lines, const std::string& prefix) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.compare(0, prefix.size(), prefix) == 0;
  }));
}

TEST(AutomaticMode, RewritesTheFileClientsDefaultOrFoundAccountOnce) {
  const std::string failed = std::string("* Configuration Failed at ") + kStamp + " *";
  const std::string no_default =
      "Description: The system's default email client's default account could not be identified using your "
      "search criteria.";
  const Lines ann = {"Default E-Mail Address: ann@example.org", "Default Display Name: Ann Lee"};
  const Lines not_provider = {
      "Email Client Configuration failed with error : notProvider",
      "Description: The system's default email client's default account is not a Quillset account. Nothing was "
      "changed.",
      failed, ""};
  const struct {
    const char* command_line;
    bool with_default;
    const char* ann_host;  // ann's incoming server
    int exit_status;
    std::string rewritten;
    Lines lines;  // the run's lines from the lookup's outcome on: the two Default lines, or an error
  } kCases[] = {
      // A vanity domain at the provider's servers is the provider's account.
      {"-auto -p \"QS \" -u", true, "Mail.QuillSet.example", 0, "ann", ann},
      {"-auto -p \"QS \" -u", true, "quillset.example", 0, "ann", ann},
      {"-auto -p \"QS \"", true, "mail.quillset.example", 1, "", ann},
      // Another provider's default is never turned into the provider's...
      {"-auto -p \"QS \" -u", true, "pop.example.org", 1, "", not_provider},
      {"-auto -p \"QS \" -u", true, "pop.quillset.example.org", 1, "", not_provider},
      {"-auto -p \"QS \" -u", true, "notquillset.example", 1, "", not_provider},
      // ...unless the administrator's search text chooses it.
      {"-auto -p \"QS \" -s \"ann@\" -u", true, "pop.example.org", 0, "ann", ann},
      {"-auto -p \"QS \" -s \"@mail\" -u", true, "pop.example.org", 0, "bob",
       {"Default E-Mail Address: bob@mail.test", "Default Display Name: Bob Ray"}},
      {"-auto -p \"QS \" -s \"nobody\" -u", true, "pop.example.org", 1, "",
       {"Email Client Configuration failed with error : noDefault", no_default, failed, ""}},
      {"-auto -p \"QS \" -u", false, "mail.quillset.example", 1, "",
       {"Email Client Configuration failed with error : defaultDNE",
        "Description: The system's default email client's default account no longer exists.", failed, ""}},
  };
  for (const Client& client : kClients) {
    for (const auto& c : kCases) {
      RunTestBed bed;
      bed.detection.default_client = client.code;
      client.seed(bed.machine, c.with_default, c.ann_host);
      const std::string before = StoreBytes(client, bed.machine);
      const std::string what = std::string(client.name) + ": " + c.command_line + " at " + c.ann_host;
      EXPECT_EQ(c.exit_status, bed.Run(c.command_line)) << what;
      EXPECT_EQ(c.rewritten, client.rewritten(bed.machine)) << what;
      if (c.exit_status != 0) {
        EXPECT_EQ(before, StoreBytes(client, bed.machine)) << what;
      }

      const Lines lines = bed.LogLines();
      const auto start = std::find(lines.begin(), lines.end(),
                                   "Automatically Configuring from default email client's default account.");
      ASSERT_GE(lines.end() - start, static_cast<std::ptrdiff_t>(1 + c.lines.size())) << what;
      EXPECT_EQ(c.lines, Lines(start + 1, start + 1 + static_cast<std::ptrdiff_t>(c.lines.size()))) << what;
      // One writer, one Configure: never a second pass with an empty address.
      EXPECT_EQ(c.lines.size() == 2 ? 1u : 0u, Count(lines, "Client Selected to Configure: ")) << what;
      EXPECT_EQ(0u, Count(lines, "Searching for existant  account")) << what;
      if (c.lines.size() == 2 && c.exit_status == 1) {
        EXPECT_EQ(1u, Count(lines, "Email Client Configuration failed with error code: 5")) << what;
      }
    }
  }
}

// Eudora compares return addresses without letter case, so two personalities
// may answer to one address; the rewrite takes the one the search found.
TEST(AutomaticMode, EudoraRewritesThePersonalityFoundNeverAnother) {
  for (const char* command_line : {"-auto -p \"QS \" -s \"ANN@\" -u", "-auto -p \"QS \" -s \"ANN@\""}) {
    RunTestBed bed;
    bed.detection.default_client = 4;
    SeedEudora(bed.machine, true, "pop.example.org");
    const std::string before = bed.machine.files.FileBytes(kEudoraIni);
    const bool overwrite = std::string(command_line).find("-u") != std::string::npos;
    EXPECT_EQ(overwrite ? 0 : 1, bed.Run(command_line));
    EXPECT_EQ(overwrite ? "ann2" : "", EudoraRewritten(bed.machine)) << command_line;
    if (!overwrite) {
      EXPECT_EQ(before, bed.machine.files.FileBytes(kEudoraIni));
    }
    const EudoraIni ini = EudoraIni::Read(bed.machine.files.FileBytes(kEudoraIni));
    EXPECT_EQ("Ann Two", ini.Value("Persona-ann2", "RealName"));
    EXPECT_EQ("ANN@EXAMPLE.ORG", ini.Value("Persona-ann2", "ReturnAddress"));
    EXPECT_EQ("ann@example.org", ini.Value("Settings", "ReturnAddress"));
  }
}

// A second file with the default account's address, listed before it, is
// another account: the rewrite takes the file the default names.
TEST(AutomaticMode, WindowsMailRewritesTheFileFoundNeverAnother) {
  RunTestBed bed;
  bed.detection.default_client = 3;
  SeedWindowsMail(bed.machine, true, kHost);
  const std::string twin = kMailFolder + "\\account{0}.oeaccount";
  bed.machine.files.PutFile(twin, ForeignAccountFile("Ann Twin", "ann@example.org"));
  EXPECT_EQ(0, bed.Run("-auto -p \"QS \" -u"));
  EXPECT_EQ("ann", WindowsMailRewritten(bed.machine));
  EXPECT_EQ(ForeignAccountFile("Ann Twin", "ann@example.org"), bed.machine.files.FileBytes(twin));
  const Lines lines = bed.LogLines();
  EXPECT_EQ(1u, Count(lines, "Searching for existant ann@example.org account ... " + kAnnFile));
}

// Two Thunderbird accounts with one address: the default one is rewritten.
TEST(AutomaticMode, ThunderbirdRewritesTheAccountFoundNeverAnother) {
  RunTestBed bed;
  bed.detection.default_client = 5;
  SeedThunderbird(bed.machine, false, "pop.example.org");
  std::string prefs = bed.machine.files.FileBytes(kPrefsJs);
  const std::string bob = "\"bob@mail.test\"";
  prefs.replace(prefs.find(bob), bob.size(), "\"ann@quillset.example\"");
  const std::string ann = "\"ann@example.org\"";
  prefs.replace(prefs.find(ann), ann.size(), "\"ann@quillset.example\"");
  bed.machine.files.PutFile(kPrefsJs,
                            prefs + "user_pref(\"mail.accountmanager.defaultaccount\", \"account2\");\r\n");
  EXPECT_EQ(0, bed.Run("-auto -p \"QS \" -u"));
  EXPECT_EQ("bob", ThunderbirdRewritten(bed.machine));
  EXPECT_NE(std::string::npos,
            bed.machine.files.FileBytes(kPrefsJs).find("user_pref(\"mail.identity.id2.fullName\", \"Bob Ray\");"));
}

}  // namespace
}  // namespace pw
