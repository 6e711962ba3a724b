#!/usr/bin/env bash
# run-gui-test.sh GUI_TESTS_EXE WINEPREFIX SHOT_DIR
# Runs the dialog automation test on a private Xvfb display and takes the
# screenshots it asks for (it writes NAME.ready, we answer with NAME.png).
# The prefix is made anew for this run with the display already up: a Wine
# desktop started without a display cannot show windows later.
set -euo pipefail
exe=$1
export WINEPREFIX=$2
shots=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$shots"
mkdir -p "$shots"

display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display

scripts="$here/../../scripts"
"$scripts/wine-prefix.sh" fresh "$WINEPREFIX"
trap '"$scripts/wine-prefix.sh" stop "$WINEPREFIX"; kill $xvfb 2>/dev/null || true' EXIT

PW_SHOT_DIR="Z:$(echo "$shots" | tr / '\\')" "$scripts/wine-run.sh" "$exe" &
test_pid=$!
while kill -0 "$test_pid" 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] || continue
    name=${ready%.ready}
    xwd -root -silent -display "$display" | convert xwd:- -trim +repage "$name.png"
    rm -f "$ready"
    echo "screenshot: $name.png"
  done
  sleep 0.2
done
wait "$test_pid"
