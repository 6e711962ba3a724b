#!/usr/bin/env bash
# Builds all three presets and runs every test: natively on the in-memory twin,
# and under Wine on the real Win32 backend. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

for preset in native win64 win32; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# The fuzz targets (clang 14, libFuzzer) in a build tree of their own.
echo "== build fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# A fresh Wine prefix for this run, with a persistent wineserver stopped at the end.
prefix="$PWD/build/win64/wineprefix"
scripts/wine-prefix.sh fresh "$prefix"
trap 'scripts/wine-prefix.sh stop "$prefix"' EXIT

# One ctest run over both trees, so the last line is the summary of everything.
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win64" "win32" "fuzz")
CTEST
status=0
rm -f build/native/fault-walk.txt
# A Wine program now and then ends at once, before the test in it runs (seen about
# once in five full runs, never twice in a row): such a test is run once more.
# A test that fails twice fails the run.
ctest --test-dir build --output-on-failure -j2 --repeat until-pass:2 "$@" || status=$?
# The fault walk's figure: writers x scenarios x failure points, and what was lost.
cat build/native/fault-walk.txt 2>/dev/null || true
exit $status
