#!/usr/bin/env bash
# A real Thunderbird loads the accounts that Postwright.exe writes under Wine.
#
# Postwright.exe runs in the Wine prefix with APPDATA pointing at a folder of
# this test (through Wine's Z: drive); the Linux Thunderbird then starts
# headless on the profile folder it wrote, with a throwaway HOME, until it has
# set up the account's mail folder and saved its preferences. In one case
# Thunderbird itself makes the profile set on a fresh start (its HOME's
# .thunderbird folder is APPDATA's Thunderbird folder) and is then started
# normally, choosing the profile on its own. Every prefs.js written here, by
# Postwright or by Thunderbird, must also evaluate as JavaScript with a
# recording user_pref (eval-prefs.js).
#
# usage: check-real-client.sh POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
for tool in thunderbird node; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
done
. "$here/real-client-common.sh"

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

# Runs Thunderbird headless with HOME $1 and the options after $2 until the
# command $2 succeeds (or for two minutes), then stops it; it saves its
# preferences on the way out.
thunderbird_until() {
  local home=$1 ready=$2 pid i
  shift 2
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache MOZ_CRASHREPORTER_DISABLE=1 \
    setsid timeout 120 thunderbird --headless "$@" >"$home/thunderbird.log" 2>&1 &
  pid=$!
  for i in $(seq 1 240); do
    if "$ready"; then break; fi
    sleep 0.5
  done
  sleep 1  # lets Thunderbird finish saving
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" || true
}

# Whether every path of the blank-separated list $ready_paths exists below
# the profile folder $ready_profile and its prefs.js holds the preference
# $ready_pref. Thunderbird makes each account's folder in its own time, so a
# check of several accounts must wait for all of them.
all_exist() {
  local profile=$1 path
  for path in $2; do [ -e "$profile/$path" ] || return 1; done
}
profile_ready() {
  all_exist "$ready_profile" "$ready_paths" && grep -qF "\"$ready_pref\"" "$ready_profile/prefs.js" 2>/dev/null
}

# Checks that Thunderbird, with HOME $1 and the options after $4, made every
# path of the list $3 below profile folder $2 and saved preference $4 there.
expect_thunderbird() {
  local home=$1 path
  ready_profile=$2 ready_paths=$3 ready_pref=$4
  shift 4
  thunderbird_until "$home" profile_ready "$@"
  for path in $ready_paths; do
    [ -e "$ready_profile/$path" ] || fail "Thunderbird made no $path in $ready_profile (log: $home/thunderbird.log)"
  done
  grep -qF "\"$ready_pref\"" "$ready_profile/prefs.js" || fail "Thunderbird saved no $ready_pref in $ready_profile/prefs.js"
}

# Starts Thunderbird on profile folder $1, with a throwaway HOME, until it made
# every path of the list $2 below it and saved the preference $3.
run_thunderbird() {
  local home
  home=$(mktemp -d "$work/home.XXXX")
  expect_thunderbird "$home" "$1" "$2" "$3" --profile "$1"
}

no_temporary_files() {
  if find "$1" -name '*.tmp' | grep -q .; then fail "temporary files left in $1"; fi
}

crlf() { sed 's/$/\r/'; }

# Sets `account` to the expectations on the account that Postwright wrote
# with these numbers (account, identity, server, SMTP server).
account_prefs() {
  local a=$1 i=$2 s=$3 m=smtp$4
  account=("mail.accountmanager.accounts~account$a" \
    "mail.account.account$a.identities=\"id$i\"" "mail.account.account$a.server=\"server$s\"" \
    "mail.identity.id$i.fullName=\"Jo Doe\"" "mail.identity.id$i.useremail=\"jdoe@quillset.example\"" \
    "mail.identity.id$i.smtpServer=\"$m\"" \
    "mail.server.server$s.hostname=\"pop.quillset.example\"" "mail.server.server$s.type=\"pop3\"" \
    "mail.server.server$s.userName=\"jdoe@quillset.example\"" "mail.server.server$s.port=995" \
    "mail.smtpserver.$m.hostname=\"smtp.quillset.example\"" "mail.smtpserver.$m.port=465" \
    "mail.smtpserver.$m.username=\"jdoe@quillset.example\"" "mail.smtpservers~$m")
}

echo "== a user without any Thunderbird data"
fresh=$work/fresh
postwright_in "$fresh" -n "Jo Doe" -c 4 -a jdoe || fail "Postwright.exe failed"
profile=$fresh/Thunderbird/Profiles/s8eyyog6.default
[ -f "$fresh/Thunderbird/profiles.ini" ] && [ -f "$profile/prefs.js" ] || fail "no profile was written"
no_temporary_files "$fresh"
evaluate check "$profile/prefs.js"
account_prefs 2 1 2 1
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account2"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server2.directory-rel
account_prefs 2 1 2 1
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
kept=('mail.identity.id1.fullName="Ann \"The\" Lee"' 'mail.identity.id1.smtpServer="smtp1"' \
  'mail.smtpserver.smtp1.hostname="smtp.example.org"' 'mail.smtpserver.smtp1.username="ann"' \
  'mail.smtpserver.smtp1.port=25' 'mail.smtpservers="smtp1,smtp2"' 'mail.smtp.defaultserver="smtp1"')
account_prefs 4 3 4 2
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account4"' \
  "${kept[@]}" 'mail.accountmanager.accounts="account1,account2,account3,account4"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server4.directory-rel
# Headless, Thunderbird makes a server's folder only when it touches the
# server (the new account checks mail at start-up; the older two do not), so
# the older accounts, and the other provider's SMTP server, show as kept in
# the file Thunderbird saved.
account_prefs 4 3 4 2
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account4"' \
  "${kept[@]}" 'mail.identity.id2.fullName="Bob Roe"' \
  'mail.accountmanager.accounts="account1,account2,account3,account4"' \
  'mail.server.server1.hostname="pop.example.org"' 'mail.server.server2.hostname="pop.example.net"'

echo "== the same account rewritten in the file Thunderbird saved"
before=$(grep -c '^user_pref(' "$profile/prefs.js")
postwright_in "$two" -n "Jo Q. Doe" -c 4 -a jdoe -u || fail "Postwright.exe failed"
no_temporary_files "$two"
[ "$(grep -c '^user_pref(' "$profile/prefs.js")" = "$before" ] || fail "the rewrite added or lost lines"
evaluate expect "$profile/prefs.js" 'mail.identity.id3.fullName="Jo Q. Doe"' \
  'mail.accountmanager.defaultaccount="account4"' "${kept[@]}"
grep -qF "Searching for existant jdoe@quillset.example account ...  found. Reseting settings to defaults." \
  "$two/Postwright.log" || fail "the second run did not find the account"
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server4.directory-rel
evaluate expect "$profile/prefs.js" 'mail.identity.id3.fullName="Jo Q. Doe"' \
  'mail.server.server4.hostname="pop.quillset.example"'

# Accounts as Thunderbird saves them (no port lines, STARTTLS, an SMTP server
# that another identity also sends through, none named), rewritten with -u:
# the file must come out as rewrite/CASE/after.js, the run log must list
# rewrite/CASE/written.txt, and Thunderbird must then load the account and
# fetch its mail on 995 over SSL/TLS, with an SMTP server of its own. Each row: case, account,
# identity, server and SMTP server numbers after the rewrite, and the SMTP
# server left to another identity ("-" for none).
while read -r case a i s m other <&3; do
  echo "== an account rewritten: $case"
  data=$here/rewrite/$case
  folder=$work/rewrite-$case
  profile=$folder/Thunderbird/Profiles/ab12cd34.default
  mkdir -p "$profile"
  printf '%s\r\n' '[General]' 'StartWithLastProfile=1' '' '[Profile0]' 'Name=default' 'IsRelative=1' \
    'Path=Profiles/ab12cd34.default' >"$folder/Thunderbird/profiles.ini"
  crlf <"$data/before.js" >"$profile/prefs.js"
  evaluate check "$profile/prefs.js"
  postwright_in "$folder" -n "Jo Doe" -c 4 -a jdoe -u || fail "Postwright.exe failed"
  no_temporary_files "$folder"
  crlf <"$data/after.js" | cmp -s - "$profile/prefs.js" || fail "$case: prefs.js is not $data/after.js"
  tr -d '\r' <"$folder/Postwright.log" |
    awk '/^The following lines were written/ {getline; on = 1; next} on && $0 == "" {exit} on' >"$folder/written.txt"
  cmp -s "$data/written.txt" "$folder/written.txt" || fail "$case: the run log lists other lines than $data/written.txt"
  own=("mail.identity.id$i.smtpServer=\"smtp$m\"" "mail.server.server$s.hostname=\"pop.quillset.example\"" \
    "mail.server.server$s.type=\"pop3\"" "mail.server.server$s.port=995" \
    "mail.server.server$s.userName=\"jdoe@quillset.example\"" "mail.smtpservers~smtp$m" \
    "mail.smtpserver.smtp$m.hostname=\"smtp.quillset.example\"" "mail.smtpserver.smtp$m.port=465" \
    "mail.smtpserver.smtp$m.try_ssl=3" "mail.smtpserver.smtp$m.username=\"jdoe@quillset.example\"")
  [ "$other" = - ] || own+=("mail.smtpserver.$other.hostname=\"smtp.example.org\"" "mail.smtpservers~$other")
  evaluate expect "$profile/prefs.js" "${own[@]}" "mail.server.server$s.isSecure=true"
  # Thunderbird fetches the account's mail at start-up: with the provider's
  # host name resolving to this machine, it must speak TLS first on port 995.
  cat >"$profile/user.js" <<'USER'
user_pref("network.dns.localDomains", "pop.quillset.example,smtp.quillset.example");
user_pref("offline.startup_state", 2);
user_pref("network.manage-offline-status", false);
USER
  rm -f "$folder/first-bytes"
  node "$here/first-bytes.js" 127.0.0.1 995 "$folder/first-bytes" 130 &
  listener=$!
  ready_profile=$profile ready_paths=Mail/pop.quillset.example ready_pref=mail.server.server$s.directory-rel
  tls_tried() { [ -s "$folder/first-bytes" ] && profile_ready; }
  home=$(mktemp -d "$work/home.XXXX")
  thunderbird_until "$home" tls_tried --profile "$profile"
  kill "$listener" 2>/dev/null || true
  status=0
  wait "$listener" || status=$?
  [ "$status" != 1 ] || fail "$case: nothing could listen on port 995 (it needs root or CAP_NET_BIND_SERVICE)"
  profile_ready || fail "$case: Thunderbird did not load the account (log: $home/thunderbird.log)"
  [[ "$(cat "$folder/first-bytes" 2>/dev/null)" == 1603* ]] ||
    fail "$case: Thunderbird did not begin TLS on port 995 (first bytes: $(cat "$folder/first-bytes" 2>/dev/null))"
  evaluate expect "$profile/prefs.js" "${own[@]}" "mail.account.account$a.server=\"server$s\"" \
    "mail.accountmanager.accounts~account$a"
done 3<<'CASES'
plain-pop3 1 1 1 1 -
starttls 3 2 3 2 smtp1
shared-smtp 2 2 2 2 smtp1
no-smtp 2 2 2 2 smtp1
default-shared 2 2 2 3 smtp1
CASES

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
account_prefs 1 1 1 1
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account1"'
run_thunderbird "$profile" Mail/pop.quillset.example mail.server.server1.directory-rel
account_prefs 1 1 1 1
evaluate expect "$profile/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account1"'

echo "== the profile set Thunderbird makes on a fresh start, then Thunderbird started normally"
# A fresh start lists an unused profile "default" marked Default=1 and names
# the profile it opens in an [Install...] section.
home=$work/installed/home
mkdir -p "$home"
profiles_ini=$home/.thunderbird/profiles.ini
# The Default= of the first [Install...] section, and the Path= of the profile marked Default=1.
install_default() { awk -F= '/^\[/ {install = /^\[Install/} install && $1 == "Default" {print $2; exit}' "$profiles_ini" | tr -d '\r'; }
marked_default() {
  awk -F= '/^\[/ {path = ""; marked = 0} $1 == "Path" {path = $2} $0 ~ /^Default=1/ {marked = 1}
           marked && path != "" {print path; exit}' "$profiles_ini" | tr -d '\r'
}
install_listed() { [ -f "$profiles_ini" ] && [ -n "$(install_default)" ] && [ -f "$home/.thunderbird/$(install_default)/prefs.js" ]; }
thunderbird_until "$home" install_listed
install_listed || fail "Thunderbird wrote no install section and profile on a fresh start (log: $home/thunderbird.log)"
used=$(install_default)
unused=$(marked_default)
[ -n "$unused" ] && [ "$unused" != "$used" ] || fail "no unused Default=1 profile beside $used: nothing to tell apart"
cp "$home/.thunderbird/profiles.ini" "$work/installed/profiles.ini.before"
# Postwright's APPDATA\Thunderbird is Thunderbird's own folder.
mkdir -p "$work/installed/appdata"
ln -s "$home/.thunderbird" "$work/installed/appdata/Thunderbird"
postwright_in "$work/installed/appdata" -n "Jo Doe" -c 4 -a jdoe || fail "Postwright.exe failed"
no_temporary_files "$home/.thunderbird"
cmp -s "$home/.thunderbird/profiles.ini" "$work/installed/profiles.ini.before" || fail "profiles.ini was changed"
if grep -qs quillset "$home/.thunderbird/$unused/prefs.js"; then fail "the unused profile $unused got the account"; fi
account_prefs 1 1 1 1
evaluate expect "$home/.thunderbird/$used/prefs.js" "${account[@]}"
expect_thunderbird "$home" "$home/.thunderbird/$used" Mail/pop.quillset.example mail.server.server1.directory-rel
account_prefs 1 1 1 1
evaluate expect "$home/.thunderbird/$used/prefs.js" "${account[@]}" 'mail.accountmanager.defaultaccount="account1"'

echo "== every prefs.js evaluates"
mapfile -t written < <(find "$work" -name prefs.js)
evaluate check "${written[@]}"
echo "Thunderbird loaded every account Postwright wrote"
