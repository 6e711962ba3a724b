#!/usr/bin/env bash
# A real Thunderbird, started normally for the first time, opens the profile
# that Postwright.exe made for a user who never ran it, and loads the account.
#
# A current Thunderbird opens the profile that profiles.ini names for its own
# installation, in an [Install<hash>] section (installs.ini beside it holds
# the same as [<hash>]); without one it makes a new, empty profile. The hash
# is that of the installation folder, so:
# - Postwright.exe runs under Wine with APPDATA in a fresh folder of this test
#   (through Wine's Z: drive) and Thunderbird registered in
#   C:\Program Files\Mozilla Thunderbird; both files must name that folder,
#   with the hash the install_hash program gives, and the new profile.
# - Thunderbird starts with an empty HOME: its own new profiles.ini must name
#   the folder it runs from (the real folder of its program, read from the
#   running process) with the hash install_hash gives for that folder.
# - The profile set moves to a Linux HOME (~/.thunderbird), the two sections
#   renamed for that folder, and Thunderbird starts there headless without
#   --profile or -P: it must make no other profile, and must load the account
#   (save its prefs.js back with the account and make the account's mail folder).
#
# usage: check-real-client-first-start.sh POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER INSTALL_HASH
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
install_hash=$4
for tool in thunderbird node; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
done
[ -x "$install_hash" ] || { echo "no $install_hash: build the native preset first" >&2; exit 1; }
. "$here/real-client-common.sh"

windows_folder='C:\Program Files\Mozilla Thunderbird'
mail_client='HKLM\SOFTWARE\Clients\Mail\Mozilla Thunderbird'
app_path='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\thunderbird.exe'
new_profile=Profiles/s8eyyog6.default

# The registration goes again however the check ends; a key that was there
# before is left, its default value put back.
key_default() { "$wine_run" reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_[A-Z_]* *//p'; }
registered=()
for key in "$mail_client" "$app_path"; do
  if "$wine_run" reg query "$key" >/dev/null 2>&1; then registered+=("$key=$(key_default "$key")"); fi
done
unregister() {
  local key entry kept
  for key in "$mail_client" "$app_path"; do
    kept=
    for entry in "${registered[@]}"; do [ "${entry%%=*}" = "$key" ] && kept=$entry; done
    if [ -z "$kept" ]; then
      "$wine_run" reg delete "$key" /f >/dev/null 2>&1 || true
    elif [ -n "${kept#*=}" ]; then
      "$wine_run" reg add "$key" /ve /t REG_SZ /d "${kept#*=}" /f >/dev/null
    fi
  done
}
restore_all() {
  restore_prefix
  unregister
}
trap restore_all EXIT

# The entries of section [$2] of the ini file $1, one a line, sorted, without CRs.
section() { tr -d '\r' <"$1" | awk -v name="[$2]" '/^\[/ {on = ($0 == name); next} on && NF' | sort; }
sections_named() { tr -d '\r' <"$1" | grep -cxF "[$2]" || true; }
# Fails unless ini file $1 holds section [$2] once, with exactly Default=$3 and Locked=1.
expect_install_section() {
  [ "$(sections_named "$1" "$2")" = 1 ] || fail "$1 has no single [$2] section: $(tr -d '\r' <"$1" | grep '^\[' | tr '\n' ' ')"
  [ "$(section "$1" "$2")" = "$(printf 'Default=%s\nLocked=1' "$3")" ] ||
    fail "[$2] of $1 holds: $(section "$1" "$2" | tr '\n' ' ')"
}
# The Path= of every profile that profiles.ini $1 lists.
profile_paths() {
  tr -d '\r' <"$1" | awk -F= '/^\[/ {on = ($0 ~ /^\[Profile/); next} on && $1 == "Path" {print substr($0, 6)}'
}

# The real folder of the Thunderbird program running in process group $1.
running_folder() {
  local stat pid exe
  for stat in /proc/[0-9]*/stat; do
    pid=${stat#/proc/}
    pid=${pid%/stat}
    # After the command name's ")": state, parent, process group.
    [ "$(sed 's/.*) //' "$stat" 2>/dev/null | cut -d' ' -f3)" = "$1" ] || continue
    exe=$(readlink -f "/proc/$pid/exe" 2>/dev/null) || continue
    case ${exe##*/} in thunderbird*) dirname "$exe"; return 0 ;; esac
  done
  return 1
}

# Runs Thunderbird headless, started normally, with HOME $1 until the command
# $2 succeeds (or for two minutes), then stops it; it saves its preferences
# on the way out. Sets `folder` to where its program runs from.
thunderbird_until() {
  local home=$1 ready=$2 pid i
  folder=
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache MOZ_CRASHREPORTER_DISABLE=1 \
    setsid timeout 120 thunderbird --headless >"$home/thunderbird.log" 2>&1 &
  pid=$!
  for i in $(seq 1 240); do
    [ -n "$folder" ] || folder=$(running_folder "$pid") || true
    if [ -n "$folder" ] && "$ready"; then break; fi
    sleep 0.5
  done
  sleep 1  # lets Thunderbird finish saving
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" || true
}

echo "== Postwright.exe for a user who never ran Thunderbird"
app_data=$work/appdata
mkdir -p "$app_data"
"$wine_run" reg add "$volatile" /v APPDATA /t REG_SZ /d "Z:${app_data//\//\\}" /f >/dev/null
"$wine_run" reg add "$mail_client" /ve /t REG_SZ /d "Mozilla Thunderbird" /f >/dev/null
"$wine_run" reg add "$app_path" /ve /t REG_SZ /d "$windows_folder\\thunderbird.exe" /f >/dev/null
"$wine_run" "$postwright" -n "Jo Doe" -c 4 -a jdoe -d || fail "Postwright.exe failed (log: $app_data/Postwright.log)"
thunderbird_folder=$app_data/Thunderbird
profile=$thunderbird_folder/$new_profile
[ -f "$thunderbird_folder/profiles.ini" ] && [ -f "$profile/prefs.js" ] || fail "no profile was written"
if find "$app_data" -name '*.tmp' | grep -q .; then fail "temporary files left in $app_data"; fi
[ "$(profile_paths "$thunderbird_folder/profiles.ini")" = "$new_profile" ] ||
  fail "profiles.ini lists other profiles than $new_profile: $(profile_paths "$thunderbird_folder/profiles.ini")"
windows_hash=$("$install_hash" "$windows_folder")
echo "$windows_folder: $windows_hash"
expect_install_section "$thunderbird_folder/profiles.ini" "Install$windows_hash" "$new_profile"
[ -f "$thunderbird_folder/installs.ini" ] || fail "no installs.ini was written beside profiles.ini"
expect_install_section "$thunderbird_folder/installs.ini" "$windows_hash" "$new_profile"
account=('mail.accountmanager.defaultaccount="account2"' 'mail.accountmanager.accounts~account2'
  'mail.account.account2.server="server2"' 'mail.identity.id1.useremail="jdoe@quillset.example"'
  'mail.identity.id1.fullName="Jo Doe"' 'mail.server.server2.hostname="pop.quillset.example"'
  'mail.server.server2.userName="jdoe@quillset.example"' 'mail.server.server2.port=995')
node "$here/eval-prefs.js" expect "$profile/prefs.js" "${account[@]}" || fail "Postwright's prefs.js: $profile/prefs.js"

echo "== Thunderbird's own first start names its installation with the same hash"
own=$work/own-home
mkdir -p "$own"
own_ini=$own/.thunderbird/profiles.ini
install_listed() { grep -qs '^\[Install' "$own_ini" && [ -f "$own/.thunderbird/installs.ini" ]; }
thunderbird_until "$own" install_listed
[ -n "$folder" ] || fail "found no running Thunderbird program (log: $own/thunderbird.log)"
linux_hash=$("$install_hash" "$folder")
echo "$folder: $linux_hash"
install_listed || fail "Thunderbird wrote no install section on a fresh start (log: $own/thunderbird.log)"
[ "$(sections_named "$own_ini" "Install$linux_hash")" = 1 ] ||
  fail "Thunderbird named its installation otherwise: $(tr -d '\r' <"$own_ini" | grep '^\[Install' | tr '\n' ' ')"
[ "$(sections_named "$own/.thunderbird/installs.ini" "$linux_hash")" = 1 ] ||
  fail "installs.ini names another installation: $(tr -d '\r' <"$own/.thunderbird/installs.ini" | grep '^\[')"

echo "== Thunderbird started normally on the profile set, moved to a Linux HOME"
home=$work/home
mkdir -p "$home"
mv "$thunderbird_folder" "$home/.thunderbird"
profiles_ini=$home/.thunderbird/profiles.ini
profile=$home/.thunderbird/$new_profile
# On Linux Thunderbird hashes its own folder: the sections are renamed for it.
sed -i "s/^\\[Install$windows_hash\\]\\(\r\\?\\)\$/[Install$linux_hash]\\1/" "$profiles_ini"
sed -i "s/^\\[$windows_hash\\]\\(\r\\?\\)\$/[$linux_hash]\\1/" "$home/.thunderbird/installs.ini"
expect_install_section "$profiles_ini" "Install$linux_hash" "$new_profile"
expect_install_section "$home/.thunderbird/installs.ini" "$linux_hash" "$new_profile"
account_loaded() {
  [ -e "$profile/Mail/pop.quillset.example" ] && grep -qF '"mail.server.server2.directory-rel"' "$profile/prefs.js"
}
thunderbird_until "$home" account_loaded
[ "$(profile_paths "$profiles_ini")" = "$new_profile" ] ||
  fail "Thunderbird made another profile: $(profile_paths "$profiles_ini" | tr '\n' ' ') (log: $home/thunderbird.log)"
expect_install_section "$profiles_ini" "Install$linux_hash" "$new_profile"
[ -e "$profile/Mail/pop.quillset.example" ] ||
  fail "Thunderbird made no mail folder for the account (log: $home/thunderbird.log)"
node "$here/eval-prefs.js" expect "$profile/prefs.js" "${account[@]}" 'mail.server.server2.directory-rel?' ||
  fail "Thunderbird's prefs.js: $profile/prefs.js"
echo "PASSED"
