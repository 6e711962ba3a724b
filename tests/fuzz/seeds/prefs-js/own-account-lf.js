user_pref("mail.identity.id1.useremail", "jdoe@quillset.example");
user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.accountmanager.accounts", "account1");
// kept
/* kept */ user_pref("browser.x", true);
