#!/usr/bin/env bash
# The Windows Installer package: its tables, and what Wine's msiexec makes of
# it (install, the run at logon, repair, upgrade, refused downgrade, removal).
#
# The package users get holds the 32-bit Postwright.exe, which this machine
# cannot run. So the win64 tree builds the same package from the same WiX
# source around the 64-bit Postwright.exe (PACKAGE), and the same again one
# version higher (NEXT_PACKAGE); those two are installed here. Of the shipped
# 32-bit package (SHIPPED_PACKAGE, from the win32 tree) the tables are read.
#
# Everything runs in a fresh Wine prefix of the check's own below WORK_FOLDER.
# msiexec is started from a batch file with the command line an administrator
# would type, which also gives its whole exit status (Wine's own is cut to a
# byte). Wine has no Active Setup: the run at logon is played by starting the
# StubPath msiexec stored, exactly as stored, from a batch file, as the user
# whose default mail client is a seeded Thunderbird.
#
# usage: check-package.sh PACKAGE NEXT_PACKAGE SHIPPED_PACKAGE VERSION NEXT_VERSION WORK_FOLDER
set -euo pipefail
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
package=$1
next_package=$2
shipped_package=$3
version=$4
next_version=$5
work=$(realpath -m "$6")
scripts="$here/../../scripts"
wine_run="$scripts/wine-run.sh"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
for tool in msiinfo node; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/bootstrap.sh installs it)"
done
[ -f "$shipped_package" ] || fail "no $shipped_package: build the win32 preset first (scripts/test.sh builds all)"

upgrade_code='{FB84FA31-3AD3-49FE-9F12-E0C7FA3CF081}'
active_setup_key='Software\Microsoft\Active Setup\Installed Components\{0568279C-27E7-4F77-BCAF-B4D04FA382BD}'
settings_key='Software\Quillset\Postwright'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall'

# --- The tables --------------------------------------------------------------
# The rows that make the package: its identity and Add/Remove Programs
# properties, the upgrade family, where the program goes, the Active Setup and
# settings rows, and the template that composes StubPath from the properties.
# Ids that wixl derives are left out, and the rows sorted.
rows() { msiinfo export "$1" "$2" | tail -n +4 | tr -d '\r'; }
tables() {
  local msi=$1
  msiinfo suminfo "$msi" | grep '^Template:'
  rows "$msi" Property | grep -E '^(ALLUSERS|ARPNOMODIFY|Manufacturer|ProductName|ProductVersion|UpgradeCode)	' | sort
  echo "[Upgrade]" && rows "$msi" Upgrade | sort
  echo "[Directory]" && rows "$msi" Directory | sort
  echo "[Component]" && rows "$msi" Component | cut -f1,2,4 | sort
  echo "[File]" && rows "$msi" File
  echo "[Registry]" && rows "$msi" Registry | cut -f2- | sort
  echo "[CustomAction]" && rows "$msi" CustomAction | sort
}
# template, version, Program Files folder, program and rollout component ids, 64-bit attribute, program size
expected_tables() {
  cat <<TABLES
Template: $1
ALLUSERS	1
ARPNOMODIFY	1
Manufacturer	Quillset
ProductName	Postwright
ProductVersion	$2
UpgradeCode	$upgrade_code
[Upgrade]
$upgrade_code	0.0.0	$2		256		POSTWRIGHT_OLDER
$upgrade_code	$2			2		POSTWRIGHT_NEWER
[Directory]
INSTALLDIR	$3	Postwright
$3	TARGETDIR	.
TARGETDIR		SourceDir
[Component]
Program	$4	$6
Rollout	$5	$(($6 + 4))
[File]
PostwrightExe	Program	Postwright.exe	$7			512	1
[Registry]
2	$active_setup_key		Postwright	Rollout
2	$active_setup_key	IsInstalled	#1	Rollout
2	$active_setup_key	StubPath	[RolloutCommand]	Rollout
2	$active_setup_key	Version	${2//./,}	Rollout
2	$settings_key	RolloutOptions	[ROLLOUTOPTIONS]	Rollout
2	$settings_key	RolloutPrefix	[ROLLOUTPREFIX]	Rollout
2	$settings_key	RolloutSearch	[ROLLOUTSEARCH]	Rollout
[CustomAction]
KeepOptions	2099	ROLLOUTOPTIONS	[InstalledOptions]	
KeepPrefix	2099	ROLLOUTPREFIX	[InstalledPrefix]	
KeepSearch	2099	ROLLOUTSEARCH	[InstalledSearch]	
RolloutCommandOptions	2099	RolloutCommand	[RolloutCommand] [ROLLOUTOPTIONS]	
RolloutCommandSearch	2099	RolloutCommand	[RolloutCommand] -s "[ROLLOUTSEARCH]"	
RolloutCommandStart	2099	RolloutCommand	"[#PostwrightExe]" -auto -p "[ROLLOUTPREFIX]"	
RolloutOn	2099	INSTALLLEVEL	2	
TABLES
}
check_tables() {  # package, expected text
  local got
  got=$(tables "$1")
  [ "$got" = "$2" ] || {
    diff <(echo "$2") <(echo "$got") >&2 || true
    fail "the tables of $1 (diff: expected, then found)"
  }
}
program_size() { stat -c %s "$(dirname "$1")/Postwright.exe"; }

x86_ids=('{6A4C1F99-B4F0-4F85-A006-9EC2C8E1FF0A}' '{FFB8F754-C858-4316-80D3-4462EEF3F1F4}')
check_tables "$shipped_package" "$(expected_tables 'Intel;1033' "$version" ProgramFilesFolder "${x86_ids[@]}" 0 \
  "$(program_size "$shipped_package")")"
x64_ids=('{2D09C3C1-604F-4A2C-9441-9010C4312C3E}' '{2B3544DF-60CC-4FDF-BD39-5B6C771A0BB8}')
check_tables "$package" "$(expected_tables 'x64;1033' "$version" ProgramFiles64Folder "${x64_ids[@]}" 256 \
  "$(program_size "$package")")"
check_tables "$next_package" "$(expected_tables 'x64;1033' "$next_version" ProgramFiles64Folder "${x64_ids[@]}" 256 \
  "$(program_size "$next_package")")"

# --- Wine --------------------------------------------------------------------
rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$work/wineprefix
"$scripts/wine-prefix.sh" fresh "$WINEPREFIX"
trap '"$scripts/wine-prefix.sh" stop "$WINEPREFIX"' EXIT

windows_path() { echo "Z:${1//\//\\}"; }
package_w=$(windows_path "$(realpath "$package")")
next_package_w=$(windows_path "$(realpath "$next_package")")
program_folder="$WINEPREFIX/drive_c/Program Files/Postwright"
# Runs a command line from a batch file; prints its exit status.
in_cmd() {
  local batch="$work/command.bat"
  printf '@echo off\r\n%s\r\necho status %%ERRORLEVEL%%\r\n' "$1" >"$batch"
  # cmd's own exit status is the last command's, cut to a byte: the echoed one counts.
  { "$wine_run" cmd /c "$(windows_path "$batch")" </dev/null 2>/dev/null || true; } | tr -d '\r' |
    sed -n 's/^status //p'
}
expect_status() {  # status, command line
  local status
  status=$(in_cmd "$2")
  [ "$status" = "$1" ] || fail "exit status ${status:-none}, not $1: $2"
}
# A registry key's values, one "name|type|data" line each; nothing for a missing key.
values() {
  { "$wine_run" reg query "$1" </dev/null 2>/dev/null || true; } | tr -d '\r' |
    sed -n 's/^    \([^ ].*\)$/\1/p' | sed 's/    /|/g'
}
expect_no_key() {
  if "$wine_run" reg query "$1" </dev/null >/dev/null 2>&1; then fail "$1 is still there"; fi
}
expect_values() {  # key, lines
  local got
  got=$(values "$1")
  [ "$got" = "$2" ] || fail "HKEY_LOCAL_MACHINE\\${1#HKLM\\} holds
${got:-(no such key)}
instead of
${2:-(no such key)}"
}
# The Add/Remove Programs entries named Postwright: "code|name|version|publisher" each.
entries() {
  { "$wine_run" reg query "HKLM\\$uninstall_key" /s </dev/null 2>/dev/null || true; } | tr -d '\r' | awk '
    function flush() { if (name == "Postwright") print code "|" name "|" version "|" publisher }
    /^HKEY/ { flush(); code = $0; sub(/.*\\/, "", code); name = version = publisher = "" }
    $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); name = $0 }
    $1 == "DisplayVersion" { sub(/^ *DisplayVersion +REG_SZ +/, ""); version = $0 }
    $1 == "Publisher" { sub(/^ *Publisher +REG_SZ +/, ""); publisher = $0 }
    END { flush() }'
}
product_code() { entries | cut -d '|' -f 1 | head -n 1; }
expect_installed() {  # version
  [ "$(entries | cut -d '|' -f 2-)" = "Postwright|$1|Quillset" ] || fail "Add/Remove Programs lists
$(entries)
instead of Postwright $1 by Quillset alone"
  cmp -s "$program_folder/Postwright.exe" "$(dirname "$package")/Postwright.exe" ||
    fail "no Postwright.exe as built in $program_folder"
}
expect_nothing_left() {
  [ -z "$(entries)" ] || fail "Add/Remove Programs still lists $(entries)"
  [ ! -e "$program_folder" ] || fail "$program_folder is still there"
  expect_no_key "HKLM\\$active_setup_key"
  expect_no_key 'HKLM\Software\Quillset'
}
stub_path() { values "HKLM\\$active_setup_key" | sed -n 's/^StubPath|REG_SZ|//p'; }
installed_exe='"C:\Program Files\Postwright\Postwright.exe"'

# What the package refuses before it installs anything: a search text or
# options without a prefix, and a prefix the program would refuse.
expect_status 1603 "msiexec /i $package_w /qn ROLLOUTSEARCH=\"@quillset.example\" ROLLOUTOPTIONS=\"-u -x\""
expect_status 1603 "msiexec /i $package_w /qn ROLLOUTPREFIX=\"Quill\\set \""
expect_nothing_left

# Without the properties: the program and its entry, nothing at logon.
expect_status 0 "msiexec /i $package_w /qn"
expect_installed "$version"
expect_no_key "HKLM\\$active_setup_key"
expect_no_key "HKLM\\$settings_key"
expect_status 0 "msiexec /x $(product_code) /qn"
expect_nothing_left

# A prefix with an empty search text: no -s at all in StubPath. (The empty
# value comes last: Wine's msiexec takes the next argument for it.) An upgrade
# that is not given the properties takes the run at logon away.
expect_status 0 "msiexec /i $package_w /qn ROLLOUTPREFIX=\"Quillset \" ROLLOUTOPTIONS=\"-u\" ROLLOUTSEARCH=\"\""
expect_values "HKLM\\$active_setup_key" "(Default)|REG_SZ|Postwright
IsInstalled|REG_DWORD|0x1
StubPath|REG_SZ|$installed_exe -auto -p \"Quillset \" -u
Version|REG_SZ|${version//./,}"
expect_status 0 "msiexec /i $next_package_w /qn"
expect_installed "$next_version"
expect_no_key "HKLM\\$active_setup_key"
expect_no_key "HKLM\\$settings_key"
expect_status 0 "msiexec /x $(product_code) /qn"
expect_nothing_left

# The recommended rollout.
rollout='ROLLOUTPREFIX="Quillset " ROLLOUTSEARCH="@quillset.example" ROLLOUTOPTIONS="-u -x"'
stub="$installed_exe -auto -p \"Quillset \" -s \"@quillset.example\" -u -x"
expect_status 0 "msiexec /i $package_w /qn $rollout"
expect_installed "$version"
expect_values "HKLM\\$active_setup_key" "(Default)|REG_SZ|Postwright
IsInstalled|REG_DWORD|0x1
StubPath|REG_SZ|$stub
Version|REG_SZ|${version//./,}"

# The user's logon. Thunderbird is the default client (mail links open it);
# its default account is not the provider's, a second one is.
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
user_pref("mail.accountmanager.accounts", "account1,account2");
user_pref("mail.accountmanager.defaultaccount", "account1");
user_pref("mail.identity.id1.fullName", "Ann Lee");
user_pref("mail.identity.id1.smtpServer", "smtp1");
user_pref("mail.identity.id1.useremail", "ann@example.org");
user_pref("mail.identity.id2.fullName", "Bob Roe");
user_pref("mail.identity.id2.smtpServer", "smtp1");
user_pref("mail.identity.id2.useremail", "bob@quillset.example");
user_pref("mail.server.server1.hostname", "pop.example.org");
user_pref("mail.server.server1.port", 110);
user_pref("mail.server.server1.type", "pop3");
user_pref("mail.server.server1.userName", "ann");
user_pref("mail.server.server2.hostname", "mail.example.net");
user_pref("mail.server.server2.port", 110);
user_pref("mail.server.server2.type", "pop3");
user_pref("mail.server.server2.userName", "bob");
user_pref("mail.smtp.defaultserver", "smtp1");
user_pref("mail.smtpserver.smtp1.hostname", "smtp.example.org");
user_pref("mail.smtpserver.smtp1.username", "ann");
user_pref("mail.smtpservers", "smtp1");
PREFS
"$wine_run" reg add 'HKCU\Volatile Environment' /v APPDATA /t REG_SZ /d "$(windows_path "$app_data")" /f \
  </dev/null >/dev/null
"$wine_run" reg add 'HKCR\mailto\shell\open\command' /ve /t REG_SZ /f \
  /d '"C:\Program Files\Mozilla Thunderbird\thunderbird.exe" -osint -compose "%1"' </dev/null >/dev/null
[ "$(stub_path)" = "$stub" ] || fail "StubPath changed"
logon_began=$(date '+%Y-%m-%d %H:%M:%S')
expect_status 0 "$(stub_path)"
logon_ended=$(date '+%Y-%m-%d %H:%M:%S')
node "$here/../thunderbird/eval-prefs.js" expect "$profile/prefs.js" \
  'mail.accountmanager.defaultaccount="account1"' 'mail.server.server1.hostname="pop.example.org"' \
  'mail.identity.id2.useremail="bob@quillset.example"' 'mail.identity.id2.fullName="Bob Roe"' \
  'mail.server.server2.hostname="pop.quillset.example"' 'mail.server.server2.port=995' \
  'mail.server.server2.userName="bob@quillset.example"' || fail "the logon run's prefs.js: $profile/prefs.js"
grep -q '^\* Configuration Complete at ' <(tr -d '\r' <"$app_data/Postwright.log") ||
  fail "the log of the logon run does not end complete: $app_data/Postwright.log"

# A repair puts back what was damaged, StubPath as it was installed.
"$wine_run" reg delete "HKLM\\$active_setup_key" /v StubPath /f </dev/null >/dev/null
"$wine_run" reg delete "HKLM\\$active_setup_key" /v Version /f </dev/null >/dev/null
expect_status 0 "msiexec /i $(product_code) REINSTALL=ALL REINSTALLMODE=omus /qn"
expect_values "HKLM\\$active_setup_key" "(Default)|REG_SZ|Postwright
IsInstalled|REG_DWORD|0x1
StubPath|REG_SZ|$stub
Version|REG_SZ|${version//./,}"

# The next version, given the same properties, replaces this one and raises
# Version, so each user's run happens once more; going back is refused.
expect_status 0 "msiexec /i $next_package_w /qn $rollout"
expect_installed "$next_version"
expect_values "HKLM\\$active_setup_key" "(Default)|REG_SZ|Postwright
IsInstalled|REG_DWORD|0x1
StubPath|REG_SZ|$stub
Version|REG_SZ|${next_version//./,}"
expect_status 1603 "msiexec /i $package_w /qn $rollout"
expect_installed "$next_version"

expect_status 0 "msiexec /x $(product_code) /qn"
expect_nothing_left

# The logon run left its record in the user's registry (which the package
# never touches, so it outlives it): the version, when, the client, the address.
marker=$(values 'HKCU\Software\Quillset\Postwright' | sort)
configured=$(sed -n 's/^Configured|REG_SZ|//p' <<<"$marker")
[ "$marker" = "Address|REG_SZ|bob@quillset.example
Client|REG_DWORD|0x4
Configured|REG_SZ|$configured
Version|REG_SZ|$version" ] &&
  [[ "$configured" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] &&
  ! [[ "$configured" < "$logon_began" || "$configured" > "$logon_ended" ]] ||
  fail "HKEY_CURRENT_USER\\Software\\Quillset\\Postwright holds
${marker:-(no such key)}
instead of Address bob@quillset.example, Client 4 (Thunderbird), Configured (between $logon_began and
$logon_ended) and Version $version"
echo "PASSED"
