#include <gtest/gtest.h>

#include "clients/files/PrefLine.h"
#include "clients/files/SettingsFile.h"
#include "clients/files/ThunderbirdPrefs.h"
#include "unit/clients/files/ThunderbirdTestSupport.h"

namespace pw {
namespace {

PrefLines Lines(const std::string& text) { return SplitLines(text); }

// The file the lines make, kept for evaluation as JavaScript.
std::string File(const PrefLines& lines) { return KeepPrefs(JoinLines(lines)); }

std::string Add(const std::string& prefs, bool make_default, PrefNumbers* numbers = nullptr) {
  PrefNumbers n;
  const std::string out =
      File(ThunderbirdPrefs(TbRequest(make_default, false), kTestProvider).Add(Lines(prefs), &n));
  if (numbers) *numbers = n;
  return out;
}

void ExpectNumbers(const PrefNumbers& n, long long account, long long identity, long long server) {
  EXPECT_EQ(account, n.account);
  EXPECT_EQ(identity, n.identity);
  EXPECT_EQ(server, n.server);
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

TEST(ThunderbirdPrefs, NextNumbersReadTheNumberAtItsFixedPlace) {
  const PrefLines prefs = Lines(R"(user_pref("mail.account.account9.server", "server9");
user_pref("mail.account.account10.identities", "id1");
// mail.account.account99 in a comment has no number where one is read
user_pref("mail.identity.id4.useremail", "a@b");
user_pref("mail.server.server12.hostname", "x");
user_pref("mail.server.server3.hostname", "y");
)");
  EXPECT_EQ(11, ThunderbirdPrefs::NextAccountNumber(prefs));
  EXPECT_EQ(5, ThunderbirdPrefs::NextIdentityNumber(prefs));
  EXPECT_EQ(13, ThunderbirdPrefs::NextServerNumber(prefs));
  EXPECT_EQ(1, ThunderbirdPrefs::NextAccountNumber({}));
  EXPECT_EQ(1, ThunderbirdPrefs::NextIdentityNumber({"user_pref(\"mail.identity.idx.fullName\", \"\");"}));
}

TEST(ThunderbirdPrefs, LocalFoldersAreUsedByTheFirstIdentityOrWhenAnotherUsesThem) {
  EXPECT_TRUE(ThunderbirdPrefs::UsesLocalFolders({}, 1));
  EXPECT_FALSE(ThunderbirdPrefs::UsesLocalFolders(Lines(TwoAccountsPrefs()), 2));
  EXPECT_TRUE(ThunderbirdPrefs::UsesLocalFolders(
      {R"(user_pref("mail.identity.id1.draft_folder", "mailbox://nobody@Local%20Folders/Drafts");)"}, 2));
  EXPECT_TRUE(ThunderbirdPrefs::UsesLocalFolders(
      {R"(user_pref("mail.identity.id7.fcc_folder", "mailbox://nobody@Local%20Folders/Sent");)"}, 8));
}

TEST(ThunderbirdPrefs, IdentityIsFoundByItsAddressInAnyLetterCase) {
  std::string id;
  const ThunderbirdPrefs prefs(TbRequest(false, false), kTestProvider);
  ASSERT_TRUE(prefs.FindIdentity(Lines(JdoePrefs()), &id));
  EXPECT_EQ("2", id);
  EXPECT_FALSE(prefs.FindIdentity(Lines(TwoAccountsPrefs()), &id));

  // Only the whole address counts.
  EXPECT_FALSE(prefs.FindIdentity(Lines(R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.identity.id1.useremail", "xjdoe@quillset.example");
user_pref("mail.identity.id1.useremail", "jdoe@quillset.example.org");
user_pref("mail.server.server1.userName", "jdoe@quillset.example");
)"),
                                  &id));

  // An identity that no account uses any more (left by a removed account) is
  // not the account; the one that an account uses is.
  ASSERT_TRUE(prefs.FindIdentity(Lines(R"(user_pref("mail.account.account2.identities", "id1,id5");
user_pref("mail.identity.id4.useremail", "jdoe@quillset.example");
user_pref("mail.identity.id5.useremail", "JDOE@quillset.example");
)"),
                                 &id));
  EXPECT_EQ("5", id);
}

TEST(ThunderbirdPrefs, AnEscapedAddressIsFoundAgain) {
  const AccountRequest odd{"jo\"e\\x@quillset.example", "Jo", false, false};
  const ThunderbirdPrefs prefs(odd, kTestProvider);
  PrefNumbers n;
  const PrefLines written = prefs.NewProfile(&n);
  File(written);
  EXPECT_EQ(R"(user_pref("mail.identity.id1.useremail", "jo\"e\\x@quillset.example");)", written[13]);
  std::string id;
  ASSERT_TRUE(prefs.FindIdentity(written, &id));
  EXPECT_EQ("1", id);
}

TEST(ThunderbirdPrefs, NewProfileGetsTheCompleteSetAsAccount2) {
  PrefNumbers n;
  const PrefLines lines = ThunderbirdPrefs(TbRequest(false, false), kTestProvider).NewProfile(&n);
  EXPECT_EQ(Crlf(CompleteSet(2, 1, 2)), File(lines));
  ExpectNumbers(n, 2, 1, 2);
}

TEST(ThunderbirdPrefs, AddingToTwoAccountsGivesTheNextNumbersAndServerFolders) {
  PrefNumbers n;
  EXPECT_EQ(Crlf(TwoAccountsPlusJdoe("account1")), Add(Crlf(TwoAccountsPrefs()), false, &n));
  ExpectNumbers(n, 3, 2, 3);
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
  ExpectNumbers(n, 1, 1, 1);

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
user_pref("mail.smtpservers", "smtp1");
user_pref("mail.smtp.defaultserver", "smtp1");
)";
  const std::string tail = R"(user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.identity.id1.smtpServer", "smtp1");
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
user_pref("mail.smtpserver.smtp1.auth_method", 1);
user_pref("mail.smtpserver.smtp1.port", 465);
user_pref("mail.smtpserver.smtp1.try_ssl", 3);
user_pref("mail.smtpserver.smtp1.hostname", "smtp.quillset.example");
user_pref("mail.smtpserver.smtp1.username", "jdoe@quillset.example");
)";
  // An empty account list gets the account without a leading comma; the rest
  // of the file went by while looking for the default-account line, so the
  // SMTP lines come at the end, where they take effect over the earlier ones.
  EXPECT_EQ(Crlf(head + tail), Add(prefs, false));
  const std::string made_default = "user_pref(\"mail.accountmanager.defaultaccount\", \"account2\");\n";
  EXPECT_EQ(Crlf(head + made_default + tail), Add(prefs, true));
}

TEST(ThunderbirdPrefs, RewriteKeepsTheAccountsNumbersAndChangesItsValues) {
  for (bool make_default : {false, true}) {
    SCOPED_TRACE(make_default);
    const ThunderbirdPrefs prefs(TbRequest(make_default, true), kTestProvider);
    PrefNumbers n;
    EXPECT_EQ(Crlf(JdoePrefsRewritten(make_default ? "account2" : "account1")),
              File(prefs.Rewrite(Lines(Crlf(JdoePrefs())), "2", &n)));
    ExpectNumbers(n, 2, 2, 3);
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
user_pref("mail.identity.id12.fullName", "Other");
user_pref("mail.server.server5.hostname", "other.example");
user_pref("mail.server.server6.hostname", "pop.quillset.example");
)";
  // Without an smtpServer line the identity has no SMTP server of its own, so none is completed.
  PrefNumbers n;
  EXPECT_EQ(Crlf(rewritten),
            File(ThunderbirdPrefs(TbRequest(false, true), kTestProvider).Rewrite(Lines(prefs), "1", &n)));
  ExpectNumbers(n, 6, 1, 6);
}

TEST(ThunderbirdPrefs, RewriteWithoutTheServerLineNextChangesNoServer) {
  const std::string prefs = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.something", "x");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.fullName", "Old");
user_pref("mail.server.server1.hostname", "old.example");
)";
  const std::string rewritten = R"(user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.something", "x");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.identity.id1.fullName", "Jo Doe");
user_pref("mail.server.server1.hostname", "old.example");
)";
  PrefNumbers n;
  EXPECT_EQ(Crlf(rewritten),
            File(ThunderbirdPrefs(TbRequest(false, true), kTestProvider).Rewrite(Lines(prefs), "1", &n)));
}

}  // namespace
}  // namespace pw
