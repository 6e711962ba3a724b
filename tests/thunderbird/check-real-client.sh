#!/usr/bin/env bash
# A real Thunderbird loads the accounts that Postwright.exe writes under Wine.
#
# Postwright.exe runs in the Wine prefix with APPDATA pointing at a folder of
# this test (through Wine's Z: drive); the Linux Thunderbird then starts
# headless on the profile folder it wrote, with a throwaway HOME, until it has
# set up the account's mail folder and saved its preferences. Every prefs.js
# written here, by Postwright or by Thunderbird, must also evaluate as
# JavaScript with a recording user_pref (eval-prefs.js).
#
# usage: check-real-client.sh POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER
set -euo pipefail
postwright=$1
export WINEPREFIX=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../scripts/wine-run.sh"
volatile='HKCU\Volatile Environment'

for tool in thunderbird node; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
done
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The prefix's own APPDATA is put back however the test ends.
saved_type=$("$wine_run" reg query "$volatile" /v APPDATA | tr -d '\r' | awk '$1 == "APPDATA" {print $2}')
saved_value=$("$wine_run" reg query "$volatile" /v APPDATA | tr -d '\r' | sed -n 's/^ *APPDATA *REG_[A-Z_]* *//p')
[ -n "$saved_type" ] || fail "the prefix has no APPDATA value"
restore_app_data() {
  "$wine_run" reg add "$volatile" /v APPDATA /t "$saved_type" /d "$saved_value" /f >/dev/null
}
trap restore_app_data EXIT
trap 'exit 1' TERM INT

windows_path() { echo "Z:${1//\//\\}"; }

# Runs Postwright.exe with APPDATA set to the folder $1 and the arguments after it.
postwright_in() {
  local app_data=$1
  shift
  mkdir -p "$app_data"
  "$wine_run" reg add "$volatile" /v APPDATA /t REG_SZ /d "$(windows_path "$app_data")" /f >/dev/null
  "$wine_run" "$postwright" "$@"
}

evaluate() { node "$here/eval-prefs.js" "$@" || fail "prefs.js did not evaluate as expected: $*"; }

# Starts Thunderbird on profile folder $1 and stops it once every path of the
# blank-separated list $2 exists below it and prefs.js holds the preference $3
# (or after two minutes). Thunderbird makes each account's folder in its own
# time, so a check of several accounts must wait for all of them.
all_exist() {
  local profile=$1 path
  for path in $2; do [ -e "$profile/$path" ] || return 1; done
}

run_thunderbird() {
  local profile=$1 wait_for=$2 pref=$3 home path
  home=$(mktemp -d "$work/home.XXXX")
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache MOZ_CRASHREPORTER_DISABLE=1 \
    setsid timeout 120 thunderbird --headless --profile "$profile" >"$home/thunderbird.log" 2>&1 &
  local pid=$! i
  for i in $(seq 1 240); do
    if all_exist "$profile" "$wait_for" && grep -qF "\"$pref\"" "$profile/prefs.js" 2>/dev/null; then break; fi
    sleep 0.5
  done
  sleep 1  # lets Thunderbird finish saving
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" || true
  for path in $wait_for; do
    [ -e "$profile/$path" ] || fail "Thunderbird made no $path in $profile (log: $home/thunderbird.log)"
  done
  grep -qF "\"$pref\"" "$profile/prefs.js" || fail "Thunderbird saved no $pref in $profile/prefs.js"
}

no_temporary_files() {
  if find "$1" -name '*.tmp' | grep -q .; then fail "temporary files left in $1"; fi
}

crlf() { sed 's/$/\r/'; }

# Sets `account` to the expectations on the account that Postwright wrote
# with these numbers (account, identity, server).
account_prefs() {
  local a=$1 i=$2 s=$3
  account=("mail.accountmanager.accounts~account$a" \
    "mail.account.account$a.identities=\"id$i\"" "mail.account.account$a.server=\"server$s\"" \
    "mail.identity.id$i.fullName=\"Jo Doe\"" "mail.identity.id$i.useremail=\"jdoe@quillset.example\"" \
    "mail.identity.id$i.smtpServer=\"smtp1\"" \
    "mail.server.server$s.hostname=\"pop.quillset.example\"" "mail.server.server$s.type=\"pop3\"" \
    "mail.server.server$s.userName=\"jdoe@quillset.example\"" "mail.server.server$s.port=995" \
    "mail.smtpserver.smtp1.hostname=\"smtp.quillset.example\"" "mail.smtpserver.smtp1.port=465" \
    "mail.smtpserver.smtp1.username=\"jdoe@quillset.example\"" "mail.smtpservers~smtp1")
}

echo "== a user without any Thunderbird data"
fresh=$work/fresh
postwright_in "$fresh" -n "Jo Doe" -c 4 -a jdoe || fail "Postwright.exe failed"
profile=$fresh/Thunderbird/Profiles/s8eyyog6.default
[ -f "$fresh/Thunderbird/profiles.ini" ] && [ -f "$profile/prefs.js" ] || fail "no profile was written"
no_temporary_files "$fresh"
evaluate check "$profile/prefs.js"
account_prefs 2 1 2
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account2"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server2.directory-rel
account_prefs 2 1 2
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account2"'

echo "== a profile with two accounts, written by hand with CR LF and an escaped double quote"
two=$work/two
profile=$two/Thunderbird/Profiles/ab12cd34.default
mkdir -p "$profile"
crlf >"$two/Thunderbird/profiles.ini" <<'INI'
[General]
StartWithLastProfile=1

[Profile0]
Name=default
IsRelative=1
Path=Profiles/ab12cd34.default
INI
crlf >"$profile/prefs.js" <<'PREFS'
// Mozilla User Preferences

user_pref("mail.account.account1.identities", "id1");
user_pref("mail.account.account1.server", "server1");
user_pref("mail.account.account2.identities", "id2");
user_pref("mail.account.account2.server", "server2");
user_pref("mail.account.account3.server", "server3");
user_pref("mail.accountmanager.accounts", "account1,account2,account3");
user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.accountmanager.localfoldersserver", "server3");
user_pref("mail.identity.id1.fullName", "Ann \"The\" Lee");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.identity.id1.useremail", "ann@example.org");
user_pref("mail.identity.id2.fullName", "Bob Roe");
user_pref("mail.identity.id2.smtpServer", "smtp1");
user_pref("mail.identity.id2.useremail", "bob@example.net");
user_pref("mail.server.server1.hostname", "pop.example.org");
user_pref("mail.server.server1.name", "ann@example.org");
user_pref("mail.server.server1.port", 110);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "ann");
user_pref("mail.server.server2.hostname", "pop.example.net");
user_pref("mail.server.server2.name", "bob@example.net");
user_pref("mail.server.server2.port", 110);
user_pref("mail.server.server2.type", "pop3");
user_pref("mail.server.server2.userName", "bob");
user_pref("mail.server.server3.hostname", "Local Folders");
user_pref("mail.server.server3.name", "Local Folders");
user_pref("mail.server.server3.type", "none");
user_pref("mail.server.server3.userName", "nobody");
user_pref("mail.smtp.defaultserver", "smtp1");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.example.org");
user_pref("mail.smtpserver.smtp1.port", 25);
user_pref("mail.smtpserver.smtp1.username", "ann");
user_pref("mail.smtpservers", "smtp1");
PREFS
evaluate check "$profile/prefs.js"
postwright_in "$two" -n "Jo Doe" -c 4 -a jdoe -d || fail "Postwright.exe failed"
no_temporary_files "$two"
kept='mail.identity.id1.fullName="Ann \"The\" Lee"'
account_prefs 4 3 4
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account4"' \
  "$kept" 'mail.accountmanager.accounts="account1,account2,account3,account4"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server4.directory-rel
# Headless, Thunderbird makes a server's folder only when it touches the
# server (the new account checks mail at start-up; the older two do not), so
# the older accounts show as kept in the file Thunderbird saved.
account_prefs 4 3 4
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account4"' \
  "$kept" 'mail.identity.id2.fullName="Bob Roe"' \
  'mail.accountmanager.accounts="account1,account2,account3,account4"' \
  'mail.server.server1.hostname="pop.example.org"' 'mail.server.server2.hostname="pop.example.net"'

echo "== the same account rewritten in the file Thunderbird saved"
before=$(grep -c '^user_pref(' "$profile/prefs.js")
postwright_in "$two" -n "Jo Q. Doe" -c 4 -a jdoe -u || fail "Postwright.exe failed"
no_temporary_files "$two"
[ "$(grep -c '^user_pref(' "$profile/prefs.js")" = "$before" ] || fail "the rewrite added or lost lines"
evaluate expect "$profile/prefs.js" 'mail.identity.id3.fullName="Jo Q. Doe"' \
  'mail.accountmanager.defaultaccount="account4"' "$kept"
grep -qF "Searching for existant jdoe@quillset.example account ...  found. Reseting settings to defaults." \
  "$two/Postwright.log" || fail "the second run did not find the account"
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server4.directory-rel
evaluate expect "$profile/prefs.js" 'mail.identity.id3.fullName="Jo Q. Doe"' \
  'mail.server.server4.hostname="pop.quillset.example"'

echo "== a profile that Thunderbird started once without setting up an account"
bare=$work/bare
profile=$bare/Thunderbird/Profiles/bare.default
mkdir -p "$profile"
printf '%s\r\n' '[General]' 'StartWithLastProfile=1' '' '[Profile0]' 'Name=default' 'IsRelative=1' \
  'Path=Profiles/bare.default' >"$bare/Thunderbird/profiles.ini"
run_thunderbird "$profile" prefs.js mail.rights.version
if grep -q 'mail\.accountmanager\.accounts' "$profile/prefs.js"; then fail "Thunderbird set up an account by itself"; fi
evaluate check "$profile/prefs.js"
postwright_in "$bare" -n "Jo Doe" -c 4 -a jdoe || fail "Postwright.exe failed"
no_temporary_files "$bare"
account_prefs 1 1 1
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account1"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server1.directory-rel
account_prefs 1 1 1
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account1"'

echo "== every prefs.js evaluates"
mapfile -t written < <(find "$work" -name prefs.js)
evaluate check "${written[@]}"
echo "Thunderbird loaded every account Postwright wrote"
