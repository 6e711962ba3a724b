#!/usr/bin/env bash
# A real Thunderbird loads the default account that an automatic run of
# Postwright.exe rewrote under Wine.
#
# A profile with two accounts (the second the default) is seeded in a folder
# of this test, which APPDATA names for the run (through Wine's Z: drive);
# mail links go to Thunderbird, so it is the default client. After
# "-auto -p ... -s ... -u" (another provider's default account is rewritten
# only when the search text names it) the Linux Thunderbird starts headless on the profile, with
# a throwaway HOME, until it has made the rewritten account's mail folder and
# saved its preferences; the account must still be the default and keep its
# address and display name.
#
# usage: check-real-client-auto.sh POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mail_link='HKCR\mailto\shell\open\command'
for tool in thunderbird node; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
done
. "$here/real-client-common.sh"

# The mail link too is put back however the test ends.
saved_link=$("$wine_run" reg query "$mail_link" /ve | tr -d '\r' | sed -n 's/^ *(Default) *REG_[A-Z_]* *//p')
[ -n "$saved_link" ] || fail "the prefix has no mail link command"
restore_app_data_and_link() {
  restore_prefix
  "$wine_run" reg add "$mail_link" /ve /t REG_SZ /d "$saved_link" /f >/dev/null
}
trap restore_app_data_and_link EXIT

app_data=$work/appdata
profile=$app_data/Thunderbird/Profiles/ab12cd34.default
mkdir -p "$profile"
printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/ab12cd34.default\r\nDefault=1\r\n' \
  >"$app_data/Thunderbird/profiles.ini"
sed 's/$/\r/' >"$profile/prefs.js" <<'PREFS'
// Mozilla User Preferences

user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.account.account2.identities", "id2");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.account.account3.server", "server3");
user_pref("mail.accountmanager.accounts", "account1,account2,account3");
user_pref("mail.accountmanager.defaultaccount", "account2");
user_pref("mail.accountmanager.localfoldersserver", "server3");
user_pref("mail.identity.id1.fullName", "Ann Lee");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.identity.id1.useremail", "ann@example.org");
user_pref("mail.identity.id2.fullName", "Bob \"The\" Roe");
user_pref("mail.identity.id2.smtpServer", "smtp1");
user_pref("mail.identity.id2.useremail", "bob@example.net");
user_pref("mail.server.server1.hostname", "pop.example.org");
user_pref("mail.server.server1.port", 110);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "ann");
user_pref("mail.server.server2.hostname", "pop.example.net");
user_pref("mail.server.server2.port", 110);
user_pref("mail.server.server2.type", "pop3");
user_pref("mail.server.server2.userName", "bob");
user_pref("mail.server.server3.hostname", "Local Folders");
user_pref("mail.server.server3.name", "Local Folders");
user_pref("mail.server.server3.type", "none");
user_pref("mail.server.server3.userName", "nobody");
user_pref("mail.smtp.defaultserver", "smtp1");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.example.org");
user_pref("mail.smtpserver.smtp1.username", "ann");
user_pref("mail.smtpservers", "smtp1");
PREFS

"$wine_run" reg add "$volatile" /v APPDATA /t REG_SZ /d "Z:${app_data//\//\\}" /f >/dev/null
"$wine_run" reg add "$mail_link" /ve /t REG_SZ /f \
  /d '"C:\Program Files\Mozilla Thunderbird\thunderbird.exe" -osint -compose "%1"' >/dev/null
"$wine_run" "$postwright" -auto -p "QS " -s "bob@example.net" -u || fail "Postwright.exe failed (log: $app_data/Postwright.log)"
if find "$app_data" -name '*.tmp' | grep -q .; then fail "temporary files left in $app_data"; fi

rewritten=('mail.accountmanager.defaultaccount="account2"' 'mail.account.account2.server="server2"'
  'mail.identity.id2.useremail="bob@example.net"' 'mail.identity.id2.fullName="Bob \"The\" Roe"'
  'mail.server.server2.hostname="pop.quillset.example"' 'mail.server.server2.port=995'
  'mail.server.server2.userName="bob@example.net"' 'mail.server.server1.hostname="pop.example.org"'
  'mail.identity.id1.useremail="ann@example.org"')
node "$here/eval-prefs.js" expect "$profile/prefs.js" "${rewritten[@]}" || fail "Postwright's prefs.js: $profile/prefs.js"

home=$(mktemp -d "$work/home.XXXX")
HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache MOZ_CRASHREPORTER_DISABLE=1 \
  setsid timeout 120 thunderbird --headless --profile "$profile" >"$home/thunderbird.log" 2>&1 &
pid=$!
for _ in $(seq 1 240); do
  [ -e "$profile/Mail/pop.quillset.example" ] && grep -qF '"mail.server.server2.directory-rel"' "$profile/prefs.js" &&
    break
  sleep 0.5
done
sleep 1  # lets Thunderbird finish saving
kill -TERM -- "-$pid" 2>/dev/null || true
wait "$pid" || true
[ -e "$profile/Mail/pop.quillset.example" ] || fail "Thunderbird made no mail folder for the rewritten account"
node "$here/eval-prefs.js" expect "$profile/prefs.js" "${rewritten[@]}" 'mail.server.server2.directory-rel?' ||
  fail "Thunderbird's prefs.js: $profile/prefs.js"
echo "PASSED"
