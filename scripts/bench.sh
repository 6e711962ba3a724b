#!/usr/bin/env bash
# Builds Postwright.exe and the benchmark's programs (win64) and times
# Postwright under Wine on large generated stores against the floor: see
# docs/performance.md. Arguments go to bench/bench.py (--runs N, --quick).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
command -v python3 >/dev/null || { echo "bench: python3 is needed (apt-get install python3)" >&2; exit 1; }
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target bench
exec python3 bench/bench.py build/win64 "$@"
