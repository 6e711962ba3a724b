#!/usr/bin/env bash
# Every Windows Mail account file that Postwright.exe writes in the Wine
# end-to-end tests is well-formed XML to a real parser (xmllint reads UTF-16
# by its byte-order mark). The Windows Mail tests run with
# POSTWRIGHT_ACCOUNT_FILES naming a folder, and copy every account file a run
# leaves there.
#
# usage: check-account-xml.sh WINE_TESTS_EXE WINEPREFIX WORK_FOLDER
set -euo pipefail
wine_tests=$1
export WINEPREFIX=$2
folder=$3
wine_run="$(cd "$(dirname "$0")" && pwd)/../../scripts/wine-run.sh"

command -v xmllint >/dev/null || { echo "xmllint is not installed (scripts/bootstrap.sh installs it)" >&2; exit 1; }
rm -rf "$folder"
mkdir -p "$folder"
if ! POSTWRIGHT_ACCOUNT_FILES="Z:${folder//\//\\}" "$wine_run" "$wine_tests" --gtest_filter='WindowsMailWineTest.*' \
    >"$folder/wine_tests.log" 2>&1; then
  cat "$folder/wine_tests.log"
  exit 1
fi
count=$(find "$folder" -name '*.oeaccount' | wc -l)
if [ "$count" -lt 3 ]; then
  echo "only $count account files were kept" >&2
  exit 1
fi
xmllint --noout "$folder"/*.oeaccount
echo "$count account files are well-formed XML"
