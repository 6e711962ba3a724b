#include <gtest/gtest.h>

#include "clients/files/PrefLine.h"
#include "clients/files/SettingsLines.h"
#include "platform/SafeReplace.h"
#include "clients/files/ThunderbirdPrefs.h"
#include "platform/Text.h"
#include "unit/clients/files/ThunderbirdTestSupport.h"

namespace pw {
namespace {

PrefLines Lines(const std::string& text) { return SplitLines(text); }

// A prefs.js in memory, read once as the writer reads the file.
struct Parsed {
  explicit Parsed(const PrefLines& lines) : text(JoinLines(lines)), prefs(text) {}
  std::string text;
  ParsedPrefs prefs;
};

// The writer's queries and edits, asked of lines.
struct Tb {
  Tb(const AccountRequest& request, const ProviderSettings& provider)
      : prefs(request, provider), accounts(request.address, provider) {}
  bool FindAccount(const PrefLines& lines, PrefNumbers* n) const { return accounts.FindAccount(Parsed(lines).prefs, n); }
  PrefLines Rewrite(const PrefLines& lines, PrefNumbers* n, PrefLines* written = nullptr) const {
    PrefLines ignored;
    StringSink out;
    prefs.RewriteTo(Parsed(lines).prefs, n, written ? written : &ignored, out);
    return SplitLines(out.text);
  }
  PrefLines Add(const PrefLines& lines, PrefNumbers* n) const {
    StringSink out;
    prefs.AddTo(Parsed(lines).prefs, n, out);
    return SplitLines(out.text);
  }
  PrefLines NewProfile(PrefNumbers* n) const { return prefs.NewProfile(n); }
  PrefLines CompleteSet(const PrefNumbers& n) const { return prefs.CompleteSet(n); }

  ThunderbirdPrefs prefs;
  ThunderbirdAccounts accounts;
};

NextPrefNumbers Next(const PrefLines& lines) { return NextNumbers(Parsed(lines).prefs); }
bool LocalFolders(const PrefLines& lines, long long identity) { return UsesLocalFolders(Parsed(lines).prefs, identity); }

// The file the lines make, kept for evaluation as JavaScript.
std::string File(const PrefLines& lines) { return KeepPrefs(JoinLines(lines)); }

std::string Add(const std::string& prefs, bool make_default, PrefNumbers* numbers = nullptr) {
  PrefNumbers n;
  const std::string out =
      File(Tb(TbRequest(make_default, false), kTestProvider).Add(Lines(prefs), &n));
  if (numbers) *numbers = n;
  return out;
}

void ExpectNumbers(const PrefNumbers& n, const std::string& account, const std::string& identity,
                   const std::string& server, const std::string& smtp) {
  EXPECT_EQ(account, n.account);
  EXPECT_EQ(identity, n.identity);
  EXPECT_EQ(server, n.server);
  EXPECT_EQ(smtp, n.smtp);
}

// The preferences the lines set, one "name=value" each (a text value in
// quotes), in their order.
std::vector<std::string> Settings(const PrefLines& lines) {
  std::vector<std::string> settings;
  Pref pref;
  for (const std::string& line : lines)
    if (ReadPrefLine(line, &pref)) settings.push_back(pref.name + "=" + (pref.is_text ? "\"" + pref.value + "\"" : pref.value));
  return settings;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST(ThunderbirdPrefs, PrefLinesEscapeTextAsThunderbirdDoes) {
  EXPECT_EQ("user_pref(\"a.b\", \"x\");", PrefLine("a.b", PrefText("x")));
  EXPECT_EQ("user_pref(\"a.b\", 465);", PrefLine("a.b", PrefNumber(465)));
  EXPECT_EQ("user_pref(\"a.b\", true);", PrefLine("a.b", kPrefTrue));
  EXPECT_EQ(R"("Jo \"JD\" Doe \\ x\n\ry")", PrefText("Jo \"JD\" Doe \\ x\n\ry"));
  // Text that tries to close the string and add a preference stays one string.
  EXPECT_EQ(R"(user_pref("n", "x\"); user_pref(\"mail.smtpserver.smtp1.hostname\", \"evil\"");)",
            PrefLine("n", PrefText("x\"); user_pref(\"mail.smtpserver.smtp1.hostname\", \"evil\"")));
}

TEST(ThunderbirdPrefs, PrefLinesAreReadByTheirSyntax) {
  const struct {
    const char* line;
    const char* setting;  // as Settings() gives it; null when the line sets no preference
  } cases[] = {
      {R"(user_pref("mail.a", "x");)", R"(mail.a="x")"},
      {"  user_pref ( \"mail.a\" ,\t\"x\" ) ;  ", R"(mail.a="x")"},
      {R"(user_pref('mail.a', 'it\'s');)", R"(mail.a="it's")"},
      {R"(user_pref("mail.a", "q\"\\\n\r");)", "mail.a=\"q\"\\\n\r\""},
      {R"(user_pref("mail.a", "\x41\u00e9\ud83d\ude00");)", "mail.a=\"A\xc3\xa9\xf0\x9f\x98\x80\""},
      {R"(user_pref("mail.a", 465);)", "mail.a=465"},
      {R"(user_pref("mail.a",-1);)", "mail.a=-1"},
      {R"(user_pref("mail.a", +7);)", "mail.a=+7"},
      {R"(user_pref("mail.a", true);)", "mail.a=true"},
      {R"(user_pref("mail.a", false); // a comment)", "mail.a=false"},
      {R"(// user_pref("mail.a", 1);)", nullptr},
      {R"(user_pref("mail.a", 1))", nullptr},
      {R"(user_pref("mail.a", 1); x)", nullptr},
      {R"(user_pref("mail.a", "x);)", nullptr},
      {R"(user_pref("mail.a" "x");)", nullptr},
      {R"(user_pref("mail.a", yes);)", nullptr},
      {R"(user_pref("mail.a", 1, 2);)", nullptr},
      {R"(user_pref("mail.a", "\q");)", nullptr},
      {R"(user_pref("mail.a", "\ud800");)", nullptr},
      {R"(user_prefs("mail.a", 1);)", nullptr},
      {R"(pref("mail.a", 1);)", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<std::string> settings = Settings({c.line});
    EXPECT_EQ(c.setting ? std::vector<std::string>{c.setting} : std::vector<std::string>{}, settings);
  }
}

TEST(ThunderbirdPrefs, NextNumbersFollowTheLargestInNamesAndValues) {
  const PrefLines prefs = Lines(R"(user_pref("mail.account.account9.server", "server9");
  user_pref ( "mail.account.account10.identities" , "id1" ) ;
// mail.account.account99 in a comment is no preference
user_pref("mail.identity.id4.useremail", "a@b");
user_pref("mail.server.server12.hostname", "x");
user_pref("mail.server.server3.hostname", "y");
user_pref("mail.accountmanager.accounts", "account9, account10 ,account11");
user_pref("mail.identity.id4.smtpServer", "smtp6");
user_pref("mail.smtpserver.smtp2.hostname", "x");
user_pref("mail.smtpservers", "smtp2,smtp3");
user_pref("mail.server.server2x.hostname", "not a number");
)");
  EXPECT_EQ(12, Next(prefs).account);
  EXPECT_EQ(5, Next(prefs).identity);
  EXPECT_EQ(13, Next(prefs).server);
  EXPECT_EQ(7, Next(prefs).smtp);
  EXPECT_EQ(1, Next({}).account);
  EXPECT_EQ(1, Next({"user_pref(\"mail.identity.idx.fullName\", \"\");"}).identity);

  // 64 bits: numbers beyond them are no key we could make; past the largest, the smallest free one.
  EXPECT_EQ(4294967297, Next(Lines(R"(user_pref("mail.server.server4294967296.type", "pop3");
user_pref("mail.server.server99999999999999999999.type", "pop3");
)")).server);
  EXPECT_EQ(2, Next(Lines(R"(user_pref("mail.server.server9223372036854775807.type", "x");
user_pref("mail.server.server1.type", "none");
user_pref("mail.server.server3.type", "none");
)")).server);
}

TEST(ThunderbirdPrefs, LocalFoldersAreUsedByTheFirstIdentityOrWhenAnotherUsesThem) {
  EXPECT_TRUE(LocalFolders({}, 1));
  EXPECT_FALSE(LocalFolders(Lines(TwoAccountsPrefs()), 2));
  EXPECT_TRUE(LocalFolders(
      {R"(user_pref("mail.identity.id1.draft_folder", "mailbox://nobody@Local%20Folders/Drafts");)"}, 2));
  EXPECT_TRUE(LocalFolders(
      {R"(user_pref("mail.identity.id7.fcc_folder", "mailbox://nobody@Local%20Folders/Sent");)"}, 8));
}

TEST(ThunderbirdPrefs, AccountIsFoundByItsIdentitysAddressInAnyLetterCase) {
  PrefNumbers n;
  const Tb prefs(TbRequest(false, false), kTestProvider);
  ASSERT_TRUE(prefs.FindAccount(Lines(JdoePrefs()), &n));
  ExpectNumbers(n, "2", "2", "3", "");
  EXPECT_FALSE(prefs.FindAccount(Lines(TwoAccountsPrefs()), &n));

  // Only the whole address counts.
  EXPECT_FALSE(prefs.FindAccount(Lines(R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.useremail", "xjdoe@quillset.example");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example.org");
user_pref("mail.server.server1.userName", "jdoe@quillset.example");
)"),
                                 &n));

  // An identity that no account uses any more (left by a removed account) is
  // not the account, nor is one whose account has no server line; the one
  // that an account with a server uses is, wherever its lines stand.
  ASSERT_TRUE(prefs.FindAccount(Lines(R"(user_pref("mail.server.server8.type", "pop3");
user_pref("mail.identity.id4.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id6.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id5.useremail", "JDOE@quillset.example");
user_pref("mail.account.account2.identities", "id1, id5");
user_pref("mail.account.account3.identities", "id6");
user_pref ("mail.account.account2.server", "server8");
)"),
                                &n));
  ExpectNumbers(n, "2", "5", "8", "");
}

TEST(ThunderbirdPrefs, AnEscapedAddressIsFoundAgain) {
  const AccountRequest odd{"jo\"e\\x@quillset.example", "Jo", false, false};
  const Tb prefs(odd, kTestProvider);
  PrefNumbers n;
  const PrefLines written = prefs.NewProfile(&n);
  File(written);
  EXPECT_EQ(R"(user_pref("mail.identity.id1.useremail", "jo\"e\\x@quillset.example");)", written[13]);
  ASSERT_TRUE(prefs.FindAccount(written, &n));
  ExpectNumbers(n, "2", "1", "2", "");
}

TEST(ThunderbirdPrefs, NewProfileGetsTheCompleteSetAsAccount2) {
  PrefNumbers n;
  const PrefLines lines = Tb(TbRequest(false, false), kTestProvider).NewProfile(&n);
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), File(lines));
  ExpectNumbers(n, "2", "1", "2", "1");
}

TEST(ThunderbirdPrefs, AddingToTwoAccountsGivesTheNextNumbersAndServerFolders) {
  PrefNumbers n;
  EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account1")), Add(Crlf(TwoAccountsPrefs()), false, &n));
  ExpectNumbers(n, "3", "2", "3", "2");
  EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account3")), Add(TwoAccountsPrefs(), true));
}

TEST(ThunderbirdPrefs, AddingToAProfileWithoutAccountsMakesAWorkingFirstAccount) {
  // An empty prefs.js, one with only its comment header, and one that
  // Thunderbird saved before any account was set up all get the whole account.
  const std::string account1 = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
)";
  const std::string lists = R"(user_pref("mail.accountmanager.accounts", "account1");
user_pref("mail.accountmanager.defaultaccount", "account1");
)";
  const std::string identity = R"(user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.server.server1.hostname", "pop.quillset.example");
user_pref("mail.server.server1.login_at_startup", true);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "jdoe@quillset.example");
user_pref("mail.server.server1.name", "jdoe@quillset.example");
user_pref("mail.server.server1.isSecure", true);
user_pref("mail.server.server1.port", 995);
user_pref("mail.server.server1.socketType", 3);
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id1.draft_folder", "mailbox://nobody@Local%20Folders/Drafts");
user_pref("mail.identity.id1.fcc_folder", "mailbox://nobody@Local%20Folders/Sent");
user_pref("mail.smtpserver.smtp1.auth_method", 1);
user_pref("mail.smtpserver.smtp1.port", 465);
user_pref("mail.smtpserver.smtp1.try_ssl", 3);
user_pref("mail.smtpserver.smtp1.hostname", "smtp.quillset.example");
user_pref("mail.smtpserver.smtp1.username", "jdoe@quillset.example");
user_pref("mail.smtpservers", "smtp1");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  PrefNumbers n;
  EXPECT_EQ(Crlf(account1 + lists + identity), Add("", false, &n));
  ExpectNumbers(n, "1", "1", "1", "1");

  const std::string header = "// Mozilla User Preferences\n\n";
  EXPECT_EQ(Crlf(header + account1 + lists + identity), Add(header, false));

  const std::string other = R"(user_pref("app.update.lastUpdateTime.region-update-timer", 0);
user_pref("mail.rights.version", 1);
)";
  EXPECT_EQ(Crlf(header + account1 + other + lists + identity), Add(header + other, false));
}

TEST(ThunderbirdPrefs, AddingWithoutADefaultAccountLine) {
  const std::string prefs = R"(user_pref("mail.account.account1.server", "server1");
user_pref("mail.accountmanager.accounts", "");
user_pref("mail.server.server1.type", "none");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.example.org");
user_pref("mail.smtpservers", "smtp1");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  const std::string head = R"(user_pref("mail.account.account2.identities", "id1");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.accountmanager.accounts", "account2");
user_pref("mail.server.server1.type", "none");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.example.org");
user_pref("mail.smtpservers", "smtp1,smtp2");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  const std::string tail = R"(user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.identity.id1.smtpServer", "smtp2");
user_pref("mail.server.server2.hostname", "pop.quillset.example");
user_pref("mail.server.server2.login_at_startup", true);
user_pref("mail.server.server2.type", "pop3");
user_pref("mail.server.server2.userName", "jdoe@quillset.example");
user_pref("mail.server.server2.name", "jdoe@quillset.example");
user_pref("mail.server.server2.isSecure", true);
user_pref("mail.server.server2.port", 995);
user_pref("mail.server.server2.socketType", 3);
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id1.draft_folder", "mailbox://nobody@Local%20Folders/Drafts");
user_pref("mail.identity.id1.fcc_folder", "mailbox://nobody@Local%20Folders/Sent");
user_pref("mail.smtpserver.smtp2.auth_method", 1);
user_pref("mail.smtpserver.smtp2.port", 465);
user_pref("mail.smtpserver.smtp2.try_ssl", 3);
user_pref("mail.smtpserver.smtp2.hostname", "smtp.quillset.example");
user_pref("mail.smtpserver.smtp2.username", "jdoe@quillset.example");
)";
  // An empty account list gets the account without a leading comma; without a
  // default-account line to follow, the identity and server lines come at the
  // end, before the new SMTP server.
  EXPECT_EQ(Crlf(head + tail), Add(prefs, false));
  const std::string made_default = "user_pref(\"mail.accountmanager.defaultaccount\", \"account2\");\n";
  EXPECT_EQ(Crlf(head + made_default + tail), Add(prefs, true));
}

TEST(ThunderbirdPrefs, RewriteKeepsTheAccountsNumbersAndChangesItsValues) {
  for (bool make_default : {false, true}) {
    SCOPED_TRACE(make_default);
    const Tb prefs(TbRequest(make_default, true), kTestProvider);
    const PrefLines lines = Lines(Crlf(JdoePrefs()));
    PrefNumbers n;
    ASSERT_TRUE(prefs.FindAccount(lines, &n));
    EXPECT_EQ(Crlf(JdoePrefsRewritten(make_default ? "account2" : "account1")), File(prefs.Rewrite(lines, &n)));
    ExpectNumbers(n, "2", "2", "3", "2");
  }
}

TEST(ThunderbirdPrefs, RewriteFindsItsAccountByTheWholeIdentityInTheList) {
  const std::string prefs = R"(user_pref("mail.account.account5.identities", "id12");
user_pref("mail.account.account5.server", "server5");
user_pref("mail.account.account6.identities", "id3,id1");
user_pref("mail.account.account6.server", "server6");
user_pref("mail.identity.id1.fullName", "Old");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id12.fullName", "Other");
user_pref("mail.server.server5.hostname", "other.example");
user_pref("mail.server.server6.hostname", "old.example");
)";
  const std::string rewritten = R"(user_pref("mail.account.account5.identities", "id12");
user_pref("mail.account.account5.server", "server5");
user_pref("mail.account.account6.identities", "id3,id1");
user_pref("mail.account.account6.server", "server6");
user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.identity.id12.fullName", "Other");
user_pref("mail.server.server5.hostname", "other.example");
user_pref("mail.server.server6.hostname", "pop.quillset.example");
user_pref("mail.server.server6.login_at_startup", true);
user_pref("mail.server.server6.type", "pop3");
user_pref("mail.server.server6.userName", "jdoe@quillset.example");
user_pref("mail.server.server6.name", "jdoe@quillset.example");
user_pref("mail.server.server6.isSecure", true);
user_pref("mail.server.server6.port", 995);
user_pref("mail.smtpserver.smtp1.auth_method", 1);
user_pref("mail.smtpserver.smtp1.port", 465);
user_pref("mail.smtpserver.smtp1.try_ssl", 3);
user_pref("mail.smtpserver.smtp1.hostname", "smtp.quillset.example");
user_pref("mail.smtpserver.smtp1.username", "jdoe@quillset.example");
user_pref("mail.smtpservers", "smtp1");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  // Without an smtpServer line the identity sends through the default server: it gets one of its own.
  const Tb tb(TbRequest(false, true), kTestProvider);
  PrefNumbers n;
  ASSERT_TRUE(tb.FindAccount(Lines(prefs), &n));
  EXPECT_EQ(Crlf(rewritten), File(tb.Rewrite(Lines(prefs), &n)));
  ExpectNumbers(n, "6", "1", "6", "1");
}

TEST(ThunderbirdPrefs, RewriteFindsTheServerLineWhereverItStands) {
  // The line after the account's identities is another account's server.
  const std::string prefs = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.fullName", "Old");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.server.server1.hostname", "old.example");
user_pref("mail.server.server2.hostname", "other.example");
)";
  const std::string rewritten = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.server.server1.hostname", "pop.quillset.example");
user_pref("mail.server.server1.login_at_startup", true);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "jdoe@quillset.example");
user_pref("mail.server.server1.name", "jdoe@quillset.example");
user_pref("mail.server.server1.isSecure", true);
user_pref("mail.server.server1.port", 995);
user_pref("mail.server.server2.hostname", "other.example");
user_pref("mail.smtpserver.smtp1.auth_method", 1);
user_pref("mail.smtpserver.smtp1.port", 465);
user_pref("mail.smtpserver.smtp1.try_ssl", 3);
user_pref("mail.smtpserver.smtp1.hostname", "smtp.quillset.example");
user_pref("mail.smtpserver.smtp1.username", "jdoe@quillset.example");
user_pref("mail.smtpservers", "smtp1");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  const Tb tb(TbRequest(false, true), kTestProvider);
  PrefNumbers n;
  ASSERT_TRUE(tb.FindAccount(Lines(prefs), &n));
  EXPECT_EQ(Crlf(rewritten), File(tb.Rewrite(Lines(prefs), &n)));
}

// Without the line Thunderbird takes the first account of the list as the
// default; "-d" must still make the rewritten one the default.
TEST(ThunderbirdPrefs, MakingARewrittenAccountTheDefaultAddsTheLineWhereThereIsNone) {
  const std::string head = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.account.account2.identities", "id2");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.accountmanager.accounts", "account1,account2");
)";
  const std::string tail = R"(user_pref("mail.identity.id2.useremail", "jdoe@quillset.example");
)";
  const Tb tb(TbRequest(true, true), kTestProvider);
  PrefNumbers n;
  PrefLines written;
  ASSERT_TRUE(tb.FindAccount(Lines(head + tail), &n));
  const PrefLines out = tb.Rewrite(Lines(head + tail), &n, &written);
  const std::string made_default = R"(user_pref("mail.accountmanager.defaultaccount", "account2");)";
  ASSERT_LT(5u, out.size());
  EXPECT_EQ(Lines(head), PrefLines(out.begin(), out.begin() + 5));
  EXPECT_EQ(made_default, out[5]);
  ASSERT_FALSE(written.empty());
  EXPECT_EQ(made_default, written.front());
}

// Which SMTP server a rewritten identity sends through, and every line of
// the result that speaks of one.
TEST(ThunderbirdPrefs, ARewrittenIdentityKeepsOnlyAnSmtpServerNobodyElseSendsThrough) {
  const auto pref = [](const std::string& name, const std::string& literal) {
    return "user_pref(\"" + name + "\", " + literal + ");\n";
  };
  const auto smtp = [&](const std::string& k, const std::string& suffix, const std::string& literal) {
    return pref("mail.smtpserver.smtp" + k + suffix, literal);
  };
  const auto uses = [&](const std::string& id, const std::string& k) {
    return pref("mail.identity.id" + id + ".smtpServer", "\"smtp" + k + "\"");
  };
  const auto list = [&](const std::string& items) { return pref("mail.smtpservers", "\"" + items + "\""); };
  const auto ours = [&](const std::string& k, const std::string& port) {
    return smtp(k, ".hostname", "\"smtp.quillset.example\"") + smtp(k, ".port", port) +
           smtp(k, ".username", "\"jdoe@quillset.example\"");
  };
  const auto completed = [&](const std::string& k) {
    return ours(k, "465") + smtp(k, ".auth_method", "1") + smtp(k, ".try_ssl", "3");
  };
  const auto own = [&](const std::string& k) {
    return smtp(k, ".auth_method", "1") + smtp(k, ".port", "465") + smtp(k, ".try_ssl", "3") +
           smtp(k, ".hostname", "\"smtp.quillset.example\"") + smtp(k, ".username", "\"jdoe@quillset.example\"");
  };
  const std::string accounts = pref("mail.account.account1.identities", "\"id1\"") +
                               pref("mail.account.account2.identities", "\"id2\"") +
                               pref("mail.account.account2.server", "\"server2\"") +
                               pref("mail.identity.id2.useremail", "\"jdoe@quillset.example\"");
  const std::string by_default = pref("mail.smtp.defaultserver", "\"smtp1\"");
  const struct {
    const char* name;
    std::string smtp_prefs;
    std::string smtp;
    std::string smtp_lines;
  } cases[] = {
      // Ann sends through Jo's server: it stays as it is, even though it is the provider's and Jo's.
      {"the provider's server for the address, shared",
       uses("1", "1") + uses("2", "1") + ours("1", "25") + list("smtp1") + by_default, "2",
       uses("1", "1") + uses("2", "2") + ours("1", "25") + list("smtp1,smtp2") + by_default + own("2")},
      {"named by an identity of no account", uses("1", "9") + uses("3", "1") + uses("2", "1") + ours("1", "25") +
           list("smtp1") + by_default,
       "1", uses("1", "9") + uses("3", "1") + uses("2", "1") + completed("1") + list("smtp1") + by_default},
      {"its own, missing from the list", uses("1", "1") + uses("2", "4") + ours("4", "25") + list("smtp1") + by_default,
       "4", uses("1", "1") + uses("2", "4") + completed("4") + list("smtp1,smtp4") + by_default},
  };
  const Tb tb(TbRequest(false, true), kTestProvider);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PrefNumbers n;
    ASSERT_TRUE(tb.FindAccount(Lines(accounts + c.smtp_prefs), &n));
    std::string smtp_lines;
    for (const std::string& line : Lines(File(tb.Rewrite(Lines(accounts + c.smtp_prefs), &n))))
      if (AsciiLower(line).find("smtp") != std::string::npos) smtp_lines += line + "\n";
    EXPECT_EQ(c.smtp, n.smtp);
    EXPECT_EQ(c.smtp_lines, smtp_lines);
  }
}

// The SMTP lines of the result (every line that speaks of one), for profiles
// with and without SMTP servers of others and of the address.
TEST(ThunderbirdPrefs, AnAddedAccountGetsAnSmtpServerOfItsOwn) {
  const auto pref = [](const std::string& name, const std::string& literal) {
    return "user_pref(\"" + name + "\", " + literal + ");\n";
  };
  const auto smtp = [&](const std::string& k, const std::string& suffix, const std::string& literal) {
    return pref("mail.smtpserver.smtp" + k + suffix, literal);
  };
  const auto uses = [&](const std::string& k) { return pref("mail.identity.id1.smtpServer", "\"smtp" + k + "\""); };
  const auto list = [&](const std::string& items) { return pref("mail.smtpservers", "\"" + items + "\""); };
  const auto by_default = [&](const std::string& k) { return pref("mail.smtp.defaultserver", "\"smtp" + k + "\""); };
  const auto host = [&](const std::string& k) { return smtp(k, ".hostname", "\"smtp.quillset.example\""); };
  const auto user = [&](const std::string& k) { return smtp(k, ".username", "\"jdoe@quillset.example\""); };
  const auto auth = [&](const std::string& k) { return smtp(k, ".auth_method", "1"); };
  const auto port = [&](const std::string& k) { return smtp(k, ".port", "465"); };
  const auto ssl = [&](const std::string& k) { return smtp(k, ".try_ssl", "3"); };
  const auto own = [&](const std::string& k) { return auth(k) + port(k) + ssl(k) + host(k) + user(k); };
  const std::string ann = smtp("1", ".hostname", "\"smtp.example.org\"") + smtp("1", ".username", "\"ann\"");
  const struct {
    const char* name;
    std::string prefs;
    std::string smtp;
    std::string smtp_lines;
  } cases[] = {
      {"none yet", pref("mail.rights.version", "1"), "1", uses("1") + own("1") + list("smtp1") + by_default("1")},
      {"another provider's smtp1", ann + list("smtp1") + by_default("1"), "2",
       ann + list("smtp1,smtp2") + by_default("1") + uses("2") + own("2")},
      {"the largest number, whatever the gaps and blanks",
       smtp("7", ".hostname", "\"x\"") + R"( user_pref ( "mail.smtpservers" , "smtp1 , smtp7" ) ;)" + "\n", "8",
       smtp("7", ".hostname", "\"x\"") + list("smtp1 , smtp7,smtp8") + uses("8") + own("8") + by_default("1")},
      {"the provider's server for another address",
       smtp("1", ".hostname", "\"smtp.quillset.example\"") + smtp("1", ".username", "\"ann@quillset.example\"") +
           list(""),
       "2",
       smtp("1", ".hostname", "\"smtp.quillset.example\"") + smtp("1", ".username", "\"ann@quillset.example\"") +
           list("smtp2") + uses("2") + own("2") + by_default("2")},
      {"the address's own server, reused in place",
       ann + smtp("3", ".hostname", "\"SMTP.Quillset.example\"") + smtp("3", ".port", "25") +
           smtp("3", ".username", "\"JDoe@quillset.example\"") + list("smtp1"),
       "3", ann + host("3") + port("3") + user("3") + list("smtp1,smtp3") + uses("3") + auth("3") + ssl("3") + by_default("1")},
      {"no list", ann, "2", ann + uses("2") + own("2") + list("smtp2") + by_default("2")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PrefNumbers n;
    std::string smtp_lines;
    for (const std::string& line : Lines(Add(c.prefs, false, &n)))
      if (AsciiLower(line).find("smtp") != std::string::npos) smtp_lines += line + "\n";
    EXPECT_EQ(c.smtp, n.smtp);
    EXPECT_EQ(c.smtp_lines, smtp_lines);
  }
}

// Other valid ways of writing the same preferences: what is read and written
// is the same, apart from the lines that are left as they were.
TEST(ThunderbirdPrefs, SpacingQuotesAndEscapesDoNotChangeWhatIsFound) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> changes;
  } variants[] = {
      {"blanks", {{"user_pref(", "  user_pref ( "}, {"\", ", "\" ,\t"}, {");", " ) ; // why"}}},
      {"single quotes", {{"\"", "'"}}},
      {"escapes", {{"@", "\\x40"}, {"account", "\\u0061ccount"}}},
  };
  const Tb adding(TbRequest(true, false), kTestProvider);
  const Tb rewriting(TbRequest(true, true), kTestProvider);
  PrefNumbers n;
  const PrefLines added = adding.Add(Lines(TwoAccountsPrefs()), &n);
  ASSERT_TRUE(rewriting.FindAccount(Lines(JdoePrefs()), &n));
  const PrefLines rewritten = rewriting.Rewrite(Lines(JdoePrefs()), &n);

  for (const auto& variant : variants) {
    SCOPED_TRACE(variant.name);
    std::string two = TwoAccountsPrefs(), jdoe = JdoePrefs();
    for (const auto& change : variant.changes) {
      two = Replaced(two, change.first, change.second);
      jdoe = Replaced(jdoe, change.first, change.second);
    }
    ASSERT_EQ(Settings(Lines(TwoAccountsPrefs())), Settings(Lines(two)));
    EXPECT_EQ(Settings(added), Settings(Lines(File(adding.Add(Lines(two), &n)))));
    ExpectNumbers(n, "3", "2", "3", "2");
    ASSERT_TRUE(rewriting.FindAccount(Lines(jdoe), &n));
    ExpectNumbers(n, "2", "2", "3", "");
    EXPECT_EQ(Settings(rewritten), Settings(Lines(File(rewriting.Rewrite(Lines(jdoe), &n)))));
  }
}

}  // namespace
}  // namespace pw
