// The account lookups of Windows Mail, Eudora and Thunderbird on the twin:
// which account each client's store names as its default, which one a search
// text finds in the client's own order, and the address and display name read
// from it.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "WindowsMailFixtures.h"
#include "clients/files/EudoraAccountLookup.h"
#include "clients/files/ThunderbirdAccountLookup.h"
#include "clients/files/WindowsMailAccountLookup.h"
#include "platform/Text.h"
#include "platform/memory/MemoryPlatform.h"

namespace pw {
namespace {

using Text = std::optional<std::string>;
const Text kNone;

constexpr char kAppData[] = "C:\\Users\\jo\\AppData\\Roaming";

// What a lookup answers for one run: the key, then the address and the
// display name read with that key.
struct Found {
  Text key, address, display_name;
  bool operator==(const Found& o) const {
    return key == o.key && address == o.address && display_name == o.display_name;
  }
};

std::ostream& operator<<(std::ostream& out, const Found& f) {
  const auto show = [&](const Text& t) { out << (t ? "\"" + *t + "\"" : std::string("none")) << " "; };
  show(f.key), show(f.address), show(f.display_name);
  return out;
}

Found Look(AccountLookup& lookup, const Text& search) {
  const Text key = search ? lookup.FindAcctByText(*search) : lookup.GetDefAcct();
  return {key, lookup.GetAcctAddr(key), lookup.GetAcctDisplayName(key)};
}

struct Machine {
  Machine() {
    machine.registry.PutText(RegRoot::kCurrentUser, "Volatile Environment", "APPDATA", kAppData);
    machine.files.PutFolder(kAppData);
  }
  MemoryPlatform machine;
};

// ---- Windows Mail --------------------------------------------------------

constexpr char kMailFolder[] = "C:\\Users\\jo\\AppData\\Local\\Microsoft\\Windows Mail\\Local Folders";
constexpr char kIam[] = "Software\\Microsoft\\IAM";

std::string MailAccount(const std::string& display_name, const std::string& address) {
  return NewAccountFile(display_name, address);
}

TEST(WindowsMailAccountLookup, FindsTheDefaultOrTheFirstMatchingAccountFile) {
  const struct {
    Text default_account;  // "Default Mail Account"
    Text search;
    Found found;
  } kCases[] = {
      {"account{B}.oeaccount", kNone, {"account{B}.oeaccount", "bob@mail.test", "Bob <B> & \"Co\""}},
      {"ACCOUNT{a}.OEACCOUNT", kNone, {"ACCOUNT{a}.OEACCOUNT", "ann@example.org", "Ann Lee"}},
      {kNone, kNone, {kNone, kNone, kNone}},
      {"account{Z}.oeaccount", kNone, {"account{Z}.oeaccount", kNone, kNone}},  // its file is gone
      {"account{N}.oeaccount", kNone, {"account{N}.oeaccount", kNone, "No Address"}},
      {"..\\Local Folders\\account{B}.oeaccount", kNone, {kNone, kNone, kNone}},
      {"account{C}.oeaccount.tmp", kNone, {kNone, kNone, kNone}},
      // In listing order; only "account*.oeaccount" files are accounts; letter case counts.
      {kNone, "@", {"account{A}.oeaccount", "ann@example.org", "Ann Lee"}},
      {kNone, "@mail.test", {"account{B}.oeaccount", "bob@mail.test", "Bob <B> & \"Co\""}},
      {"account{B}.oeaccount", "ann", {"account{A}.oeaccount", "ann@example.org", "Ann Lee"}},
      {kNone, "ANN", {kNone, kNone, kNone}},
      {"account{H}.oeaccount", kNone,
       {"account{H}.oeaccount", "h@mail.test", "\xD7\x93\xD7\xA0\xD7\x94\xF0\x9F\x98\x80"}},
      {kNone, "tmp@", {kNone, kNone, kNone}},
      {kNone, "txt@", {kNone, kNone, kNone}},
  };
  for (const auto& c : kCases) {
    Machine m;
    MemoryPlatform& machine = m.machine;
    machine.environment.Set("USERPROFILE", "C:\\Users\\jo");
    machine.registry.Put(RegRoot::kCurrentUser, "Software\\Microsoft\\Windows Mail", "Store Root", regtype::kExpandSz,
                         std::string("%USERPROFILE%\\AppData\\Local\\Microsoft\\Windows Mail\\") + '\0');
    if (c.default_account)
      machine.registry.PutText(RegRoot::kCurrentUser, kIam, "Default Mail Account", *c.default_account);
    const std::string folder = kMailFolder;
    machine.files.PutFolder(folder);
    machine.files.PutFile(folder + "\\account{A}.oeaccount", MailAccount("Ann Lee", "ann@example.org"));
    machine.files.PutFile(folder + "\\account{B}.oeaccount",
                          MailAccount("Bob &lt;B&gt; &amp; &quot;Co&#x22;", "bob@mail.test"));
    // Outside ASCII: "Dana" in Hebrew, then a character beyond the BMP by reference.
    machine.files.PutFile(folder + "\\account{H}.oeaccount",
                          Utf16File("<MessageAccount>\r\n<SMTP_Email_Address type=\"SZ\">h@mail.test</SMTP_Email_Address>\r\n") +
                              Utf16LeBytes(u"<SMTP_Display_Name type=\"SZ\">\u05D3\u05E0\u05D4&#x1F600;"
                                            u"</SMTP_Display_Name>\r\n</MessageAccount>\r\n"));
    machine.files.PutFile(folder + "\\account{C}.oeaccount.tmp", MailAccount("Tmp", "tmp@mail.test"));
    machine.files.PutFile(folder + "\\account{N}.oeaccount",
                          Utf16File("<MessageAccount>\r\n<SMTP_Display_Name type=\"SZ\">No Address</SMTP_Display_Name>\r\n"
                                    "</MessageAccount>\r\n"));
    machine.files.PutFile(folder + "\\accounts.txt", MailAccount("Txt", "txt@mail.test"));
    WindowsMailAccountLookup lookup(machine.registry, machine.files, machine.environment);
    EXPECT_EQ(c.found, Look(lookup, c.search)) << c.default_account.value_or("-") << " " << c.search.value_or("-");
  }

  // Before Windows Mail's first start there is no store, so no account.
  Machine m;
  m.machine.registry.PutText(RegRoot::kCurrentUser, kIam, "Default Mail Account", "account{A}.oeaccount");
  m.machine.files.PutFolder(kMailFolder);
  m.machine.files.PutFile(std::string(kMailFolder) + "\\account{A}.oeaccount", MailAccount("Ann", "ann@example.org"));
  WindowsMailAccountLookup lookup(m.machine.registry, m.machine.files, m.machine.environment);
  EXPECT_EQ((Found{"account{A}.oeaccount", kNone, kNone}), Look(lookup, kNone));
  EXPECT_EQ((Found{kNone, kNone, kNone}), Look(lookup, "ann"));
}

// ---- Eudora --------------------------------------------------------------

const std::string kEudoraIni = std::string(kAppData) + "\\Qualcomm\\Eudora\\Eudora.ini";

// Personalities listed in another order than their sections stand; a
// section [Personalities] does not list, and a second entry of a key, count
// for nothing.
const char kPersonalities[] =
    "[Settings]\r\n"
    "RealName=Ann Lee\r\n"
    "ReturnAddress = ann@example.org\r\n"
    "ReturnAddress=second@example.org\r\n"
    "\r\n"
    "[Personalities]\r\n"
    "Persona0=Persona-bob\r\n"
    "Persona1=Persona-cy\r\n"
    "persona0=Persona-dup\r\n"
    "[Persona-cy]\r\n"
    "RealName = \"Cy Q\"\r\n"
    "ReturnAddress=cy@mail.test\r\n"
    "[persona-BOB]\r\n"
    "ReturnAddress=bob@mail.test\r\n"
    "[Persona-stray]\r\n"
    "ReturnAddress=stray@mail.test\r\n"
    "[Persona-dup]\r\n"
    "ReturnAddress=dup@mail.test\r\n";

TEST(EudoraAccountLookup, FindsTheDominantOrTheFirstMatchingPersonality) {
  const struct {
    const char* file;  // null: there is none
    Text search;
    Found found;
  } kCases[] = {
      {kPersonalities, kNone, {"Settings", "ann@example.org", "Ann Lee"}},
      {kPersonalities, "example", {"Settings", "ann@example.org", "Ann Lee"}},
      {kPersonalities, "@mail.test", {"Persona-bob", "bob@mail.test", kNone}},
      {kPersonalities, "cy", {"Persona-cy", "cy@mail.test", "Cy Q"}},
      {kPersonalities, "second", {kNone, kNone, kNone}},
      {kPersonalities, "stray", {kNone, kNone, kNone}},
      {kPersonalities, "dup", {kNone, kNone, kNone}},
      {kPersonalities, "BOB", {kNone, kNone, kNone}},
      {"\xEF\xBB\xBF[Settings]\r\nReturnAddress=ann@example.org\r\n", kNone, {"Settings", "ann@example.org", kNone}},
      {"[Settings]\r\nRealName=\r\nReturnAddress=\r\n", kNone, {"Settings", kNone, ""}},
      {"[Personalities]\r\nPersona0=Persona-bob\r\n[Persona-bob]\r\nReturnAddress=bob@mail.test\r\n", kNone,
       {kNone, kNone, kNone}},
      {nullptr, kNone, {kNone, kNone, kNone}},
  };
  for (const auto& c : kCases) {
    Machine m;
    if (c.file) m.machine.files.PutFile(kEudoraIni, c.file);
    EudoraAccountLookup lookup(m.machine.registry, m.machine.files, m.machine.environment, "Eudora.exe");
    EXPECT_EQ(c.found, Look(lookup, c.search)) << (c.file ? c.file : "no file") << " " << c.search.value_or("-");
  }

  // An Eudora that keeps its settings beside itself.
  Machine m;
  m.machine.registry.PutText(RegRoot::kLocalMachine,
                             "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Eudora.exe", "",
                             "C:\\Eudora\\Eudora.exe");
  m.machine.files.PutFolder("C:\\Eudora");
  m.machine.files.PutFile("C:\\Eudora\\Eudora.ini", kPersonalities);
  EudoraAccountLookup lookup(m.machine.registry, m.machine.files, m.machine.environment, "Eudora.exe");
  EXPECT_EQ((Found{"Persona-cy", "cy@mail.test", "Cy Q"}), Look(lookup, "cy@"));
}

// ---- Thunderbird ---------------------------------------------------------

const std::string kThunderbird = std::string(kAppData) + "\\Thunderbird";

const char kPrefs[] =
    "# Mozilla User Preferences\r\n"
    "user_pref(\"mail.accountmanager.accounts\", \"account1,account3, account2,account5\");\r\n"
    "user_pref(\"mail.accountmanager.defaultaccount\", \"account3\");\r\n"
    "user_pref(\"mail.account.account1.identities\", \"id1\");\r\n"
    "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
    "user_pref(\"mail.account.account2.identities\", \"id2\");\r\n"
    "user_pref(\"mail.account.account2.server\", \"server2\");\r\n"
    "user_pref(\"mail.account.account3.identities\", \"id4,id3\");\r\n"
    "user_pref(\"mail.account.account3.server\", \"server3\");\r\n"
    "user_pref(\"mail.account.account4.identities\", \"id5\");\r\n"
    "user_pref(\"mail.account.account4.server\", \"server4\");\r\n"
    "user_pref(\"mail.account.account5.identities\", \"id6\");\r\n"
    "user_pref(\"mail.identity.id1.useremail\", \"old@example.org\");\r\n"
    "user_pref(\"mail.identity.id1.useremail\", \"ann@example.org\");\r\n"
    "user_pref(\"mail.identity.id1.fullName\", \"Ann \\\"A\\\" Lee\");\r\n"
    "user_pref(\"mail.identity.id2.useremail\", \"bob@mail.test\");\r\n"
    "user_pref(\"mail.identity.id3.useremail\", \"cy@mail.test\");\r\n"
    "user_pref(\"mail.identity.id4.useremail\", \"cy-alias@mail.test\");\r\n"
    "user_pref(\"mail.identity.id4.fullName\", \"Cy \\u05D3\");\r\n"
    "user_pref(\"mail.identity.id5.useremail\", \"stray@mail.test\");\r\n"
    "user_pref(\"mail.identity.id6.useremail\", \"noserver@mail.test\");\r\n";

std::string WithDefault(const std::string& line) {
  std::string prefs = kPrefs;
  const std::string old = "user_pref(\"mail.accountmanager.defaultaccount\", \"account3\");\r\n";
  return prefs.replace(prefs.find(old), old.size(), line);
}

TEST(ThunderbirdAccountLookup, FindsTheDefaultOrTheFirstMatchingAccount) {
  const std::string cy = "Cy \xD7\x93";
  const struct {
    std::string prefs;
    Text search;
    Found found;
  } kCases[] = {
      {kPrefs, kNone, {"account3", "cy-alias@mail.test", cy}},
      // mail.accountmanager.accounts order: account3 before account2.
      {kPrefs, "@mail.test", {"account3", "cy-alias@mail.test", cy}},
      {kPrefs, "bob", {"account2", "bob@mail.test", kNone}},
      {kPrefs, "ann@", {"account1", "ann@example.org", "Ann \"A\" Lee"}},
      {kPrefs, "old@", {kNone, kNone, kNone}},  // the last line of a preference counts
      {kPrefs, "cy@", {kNone, kNone, kNone}},   // not the account's first identity
      {kPrefs, "stray", {kNone, kNone, kNone}},  // not listed
      {kPrefs, "noserver", {kNone, kNone, kNone}},
      {WithDefault(""), kNone, {kNone, kNone, kNone}},
      {WithDefault("user_pref(\"mail.accountmanager.defaultaccount\", \"account4\");\r\n"), kNone,
       {kNone, kNone, kNone}},
      {WithDefault("user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\r\n"), kNone,
       {"account1", "ann@example.org", "Ann \"A\" Lee"}},
  };
  for (const auto& c : kCases) {
    Machine m;
    m.machine.files.PutFolder(kThunderbird);
    m.machine.files.PutFolder(kThunderbird + "\\Profiles");
    m.machine.files.PutFolder(kThunderbird + "\\Profiles\\abc.default");
    m.machine.files.PutFile(kThunderbird + "\\profiles.ini",
                            "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                            "Path=Profiles/abc.default\r\n");
    m.machine.files.PutFile(kThunderbird + "\\Profiles\\abc.default\\prefs.js", c.prefs);
    ThunderbirdAccountLookup lookup(m.machine.registry, m.machine.files, m.machine.environment);
    EXPECT_EQ(c.found, Look(lookup, c.search)) << c.search.value_or("-");
  }

  // No profile list: no account, and nothing is created.
  Machine m;
  ThunderbirdAccountLookup lookup(m.machine.registry, m.machine.files, m.machine.environment);
  EXPECT_EQ((Found{kNone, kNone, kNone}), Look(lookup, kNone));
  EXPECT_FALSE(m.machine.files.HasFolder(kThunderbird));
}

}  // namespace
}  // namespace pw
