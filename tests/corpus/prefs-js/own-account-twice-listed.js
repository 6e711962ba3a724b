user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.accountmanager.accounts", "account1,account2,account2");
user_pref("mail.identity.id1.useremail", "ann@example.org");
user_pref("mail.server.server1.type", "pop3");
// keep me
user_pref("browser.startup.page", 3);
user_pref("mail.identity.id2.useremail", "jdoe@quillset.example");
user_pref("mail.account.account2.identities", "id2");
user_pref("mail.account.account2.server", "server2");
