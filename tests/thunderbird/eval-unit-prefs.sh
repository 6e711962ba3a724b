#!/usr/bin/env bash
# Every prefs.js that the Thunderbird unit tests produce evaluates as
# JavaScript (tests/thunderbird/eval-prefs.js).
# usage: eval-unit-prefs.sh UNIT_TESTS WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
unit_tests=$1
folder=$2
rm -rf "$folder"
mkdir -p "$folder"
if ! POSTWRIGHT_PREFS_DIR="$folder" "$unit_tests" --gtest_filter='Thunderbird*' >"$folder/unit_tests.log" 2>&1; then
  cat "$folder/unit_tests.log"
  exit 1
fi
count=$(find "$folder" -name '*.js' | wc -l)
if [ "$count" -lt 20 ]; then
  echo "only $count prefs.js files were kept" >&2
  exit 1
fi
node "$here/eval-prefs.js" check "$folder"/*.js
echo "$count prefs.js files evaluate"
