#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SECONDS FOUND_DIR SEED_DIR
# Runs one libFuzzer target for SECONDS, starting from the seeds (read only)
# and keeping what it finds in FOUND_DIR. A crash, a leak, a sanitizer report
# or a broken promise fails the run and leaves the input in FOUND_DIR.
set -euo pipefail
fuzzer=$1 seconds=$2 found=$3 seeds=$4
mkdir -p "$found"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -artifact_prefix="$found/" "$found" "$seeds"
