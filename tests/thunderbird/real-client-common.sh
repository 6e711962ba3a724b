# Sourced by the real-client checks (usage: CHECK POSTWRIGHT_EXE WINEPREFIX WORK_FOLDER):
# their arguments, a fresh work folder, `fail`, and the prefix's own APPDATA put
# back however the check ends (a check that changes more adds to `restore_prefix`).
postwright=$1
export WINEPREFIX=$2
work=$3
wine_run="$here/../../scripts/wine-run.sh"
volatile='HKCU\Volatile Environment'

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"

saved_type=$("$wine_run" reg query "$volatile" /v APPDATA | tr -d '\r' | awk '$1 == "APPDATA" {print $2}')
saved_value=$("$wine_run" reg query "$volatile" /v APPDATA | tr -d '\r' | sed -n 's/^ *APPDATA *REG_[A-Z_]* *//p')
[ -n "$saved_type" ] || fail "the prefix has no APPDATA value"
restore_prefix() {
  "$wine_run" reg add "$volatile" /v APPDATA /t "$saved_type" /d "$saved_value" /f >/dev/null
}
trap restore_prefix EXIT
trap 'exit 1' TERM INT
