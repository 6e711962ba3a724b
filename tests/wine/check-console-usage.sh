#!/usr/bin/env bash
# A person who starts Postwright.exe at a console prompt without redirecting
# anything sees the usage line there: a window program has no console of its
# own, so it writes to the one it was started from.
#
# The console is a pseudo-terminal made by script(1); Wine shows its console on
# it. console_launcher.exe starts Postwright.exe as the prompt would.
#
# usage: check-console-usage.sh CONSOLE_LAUNCHER POSTWRIGHT_EXE WINEPREFIX
set -euo pipefail
launcher=$1
postwright=$2
export WINEPREFIX=$3
wine_run="$(cd "$(dirname "$0")" && pwd)/../../scripts/wine-run.sh"

shown=$(timeout 120 script -qec "'$wine_run' '$launcher' '$postwright' -auto; echo \"exit status \$?\"" /dev/null)
# The console's own escape sequences and line breaks (it wraps at its width) go.
text=$(printf '%s' "$shown" | sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' | tr -d '\r\n')
usage='usage: Postwright [-n "display name" -c client -a user [-d] [-u] [-whatif]] | [-auto -p "prefix" [-s "address"] [-d] [-u] [-x] [-whatif]] | [-restore [-x] [-whatif]]'
case "$text" in
  *"$usage"*"exit status 2") echo "the usage line reached the console; exit status 2" ;;
  *) echo "FAILED: the console showed: $text" >&2; exit 1 ;;
esac
