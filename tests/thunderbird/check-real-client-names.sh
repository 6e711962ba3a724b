#!/usr/bin/env bash
# The real Thunderbird reads back the Hebrew display name that Postwright.exe
# wrote on a Hebrew system (Wine in the he_IL.UTF-8 locale, code page 1255)
# and on a Western one (the default locale), each time given on the command
# line. Thunderbird runs from a private copy of its launcher directory that
# adds a startup script (read-fullnames.cfg); the system's installation is
# left as it is. The script writes every identity's fullName as Thunderbird
# read it, which must be the name, character for character.
#
# usage: check-real-client-names.sh POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
install=/usr/lib/thunderbird
# "Dani Cohen" in Hebrew, a dagesh and a qamats on the first letter.
name=$'\xd7\x93\xd6\xbc\xd6\xb8\xd7\xa0\xd7\x99 \xd7\x9b\xd7\x94\xd7\x9f'
. "$here/real-client-common.sh"
[ -x "$install/thunderbird-bin" ] || fail "Thunderbird is not installed in $install (scripts/bootstrap.sh installs it)"

# The private launcher: the program file copied (Thunderbird finds its
# directory from it), everything else linked, and the startup script added.
launcher=$work/thunderbird
mkdir -p "$launcher/defaults"
for entry in "$install"/*; do
  case $(basename "$entry") in
    thunderbird-bin) cp "$entry" "$launcher/" ;;
    defaults) for d in "$entry"/*; do [ "$(basename "$d")" = pref ] || ln -s "$d" "$launcher/defaults/"; done ;;
    *) ln -s "$entry" "$launcher/" ;;
  esac
done
mkdir -p "$launcher/defaults/pref"
for f in "$install"/defaults/pref/*; do [ -e "$f" ] && ln -s "$f" "$launcher/defaults/pref/"; done
cat >"$launcher/defaults/pref/postwright-check.js" <<'JS'
pref("general.config.filename", "postwright-check.cfg");
pref("general.config.obscure_value", 0);
pref("general.config.sandbox_enabled", false);
JS
cp "$here/read-fullnames.cfg" "$launcher/postwright-check.cfg"

# Writes the account with Postwright.exe under the locale $1 into the
# application-data folder $2, then lets the private Thunderbird read it.
check_locale() {
  local locale=$1 app_data=$2 profile home out i
  mkdir -p "$app_data"
  "$wine_run" reg add "$volatile" /v APPDATA /t REG_SZ /d "Z:${app_data//\//\\}" /f >/dev/null
  LC_ALL=$locale "$wine_run" "$postwright" -n "$name" -c 4 -a dani || fail "Postwright.exe failed under $locale"
  profile=$(dirname "$(find "$app_data/Thunderbird" -name prefs.js | head -1)")
  [ -f "$profile/prefs.js" ] || fail "no prefs.js was written under $locale"
  home=$(mktemp -d "$work/home.XXXX")
  out=$home/fullnames.txt
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache MOZ_CRASHREPORTER_DISABLE=1 \
    PW_FULLNAME_OUT=$out setsid timeout 120 "$launcher/thunderbird-bin" --headless --profile "$profile" \
    >"$home/thunderbird.log" 2>&1 &
  local pid=$!
  for i in $(seq 1 240); do
    [ -s "$out" ] && break
    sleep 0.5
  done
  kill -TERM -- "-$pid" 2>/dev/null || true
  wait "$pid" || true
  [ -s "$out" ] || fail "Thunderbird read no fullName under $locale (log: $home/thunderbird.log)"
  grep -qxF "mail.identity.id1.fullName=$name" "$out" ||
    fail "Thunderbird read the name under $locale as: $(cat "$out")"
  echo "ok: $locale: $(cat "$out")"
}

check_locale he_IL.UTF-8 "$work/hebrew"
check_locale C.UTF-8 "$work/western"
echo "PASSED"
