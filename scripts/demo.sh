#!/usr/bin/env bash
# scripts/demo.sh [arguments for Postwright.exe]
# scripts/demo.sh --interactive
#
# Builds Postwright, prepares a Wine prefix of its own (build/demo/wineprefix)
# with a demo user who has Outlook Express and Thunderbird installed and
# Outlook Express as the default mail client, and runs Postwright.exe there
# with the arguments given. Then it shows the exit status and the record the
# run appended to the user's Postwright.log, and exits with that status.
#
# Without arguments it shows the whole story: an explicit run that configures
# Outlook Express for the demo user and makes the account the default,
#   -n "Demo User" -c 0 -a demo -d -u
# then an automatic run that rewrites the default account of the default
# client (that same account) under an account name with a prefix,
#   -auto -p "Quillset " -u
# then the records both runs appended to the log. It exits with the first
# status that is not 0, or 0.
# --interactive starts the program without arguments, which opens its window;
# that needs an X display (DISPLAY).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh

story=false
if [ $# -eq 0 ]; then
  story=true
elif [ "$1" = "--interactive" ]; then
  if [ -z "${DISPLAY:-}" ]; then
    echo "demo: --interactive needs an X display; set DISPLAY (for example to an Xvfb server)" >&2
    exit 2
  fi
  set --
fi

# The 64-bit program is the one that runs here (this machine has no 32-bit
# Wine); the 32-bit one is what users get, so it is built too.
for preset in win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target program
done

prefix="$root/build/demo/wineprefix"
export WINEPREFIX="$prefix"
echo "== Wine prefix $prefix"
scripts/wine-prefix.sh start "$prefix"
trap 'scripts/wine-prefix.sh stop "$prefix"' EXIT

in_wine() { scripts/wine-run.sh "$@" </dev/null; }
reg_set() {  # key, value name ("" for the default value), text
  if [ -z "$2" ]; then
    in_wine reg add "$1" /ve /t REG_SZ /d "$3" /f >/dev/null
  else
    in_wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null
  fi
}

# The demo user: both clients registered machine-wide, Outlook Express's
# account list present (it has no account yet), and mail links opening
# Outlook Express, which makes it the default mail client.
echo "== demo user: Outlook Express (default mail client) and Thunderbird installed"
reg_set 'HKLM\SOFTWARE\Clients\Mail\Outlook Express' "" "Outlook Express"
reg_set 'HKLM\SOFTWARE\Clients\Mail\Mozilla Thunderbird' "" "Mozilla Thunderbird"
in_wine reg add 'HKCU\Software\Microsoft\Internet Account Manager\Accounts' /f >/dev/null
reg_set 'HKCR\mailto\shell\open\command' "" '"C:\Program Files\Outlook Express\msimn.exe" /mailurl:%1'

# The log goes to the folder named by APPDATA in HKCU "Volatile Environment".
appdata=$(in_wine reg query 'HKCU\Volatile Environment' /v APPDATA | tr -d '\r' |
          sed -n 's/^ *APPDATA *REG_[A-Z_]* *//p')
log_file=$(in_wine winepath -u "$appdata\\Postwright.log" | tr -d '\r')
log_size_before=$(stat -c %s "$log_file" 2>/dev/null || echo 0)

# Runs Postwright.exe with the given arguments, shown as Wine hands them
# over (an argument with a blank in double quotes); sets `status`.
run_postwright() {
  local shown="" arg
  for arg in "$@"; do
    case "$arg" in *" "*) shown+=" \"$arg\"" ;; *) shown+=" $arg" ;; esac
  done
  echo "== Postwright.exe$shown"
  set +e
  in_wine build/win64/Postwright.exe "$@"
  status=$?
  set -e
  echo "== exit status $status"
}

if $story; then
  run_postwright -n "Demo User" -c 0 -a demo -d -u
  first=$status
  run_postwright -auto -p "Quillset " -u
  [ "$first" -eq 0 ] || status=$first
else
  run_postwright "$@"
fi

log_size_after=$(stat -c %s "$log_file" 2>/dev/null || echo 0)
if [ "$log_size_after" -gt "$log_size_before" ]; then
  echo "== what this demo appended to $appdata\\Postwright.log"
  tail -c +"$((log_size_before + 1))" "$log_file" | tr -d '\r'
else
  echo "== this demo wrote nothing to $appdata\\Postwright.log"
fi
exit "$status"
