#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in the prefix named by WINEPREFIX
# (created on first use). This machine cannot run 32-bit Linux programs, so
# only wine64 is used.
set -euo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix to use}"
export WINEPREFIX
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec /usr/lib/wine/wine64 "$@"
