#!/usr/bin/env bash
# wine-prefix.sh fresh|start|stop PREFIX
#   fresh: delete PREFIX, create it anew and leave its wineserver running
#   start: create PREFIX if missing and start its persistent wineserver
#   stop:  stop the wineserver of PREFIX
set -euo pipefail
action=$1
export WINEPREFIX=$2
export WINELOADER=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
here=$(cd "$(dirname "$0")" && pwd)
# Starts the prefix's persistent wineserver; one that already runs is kept
# (wineserver -p then exits with status 2). It must not hold the caller's output open.
persist() { /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || [ $? -eq 2 ]; }
case "$action" in
  fresh)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    ;&
  start)
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      # The first boot leaves two service managers behind and RpcSs never
      # starts, so every later start of a windowed program waits seconds for
      # it. Let that session end (which also writes the registry files) and
      # start a clean one below.
      /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1 || true
      /usr/lib/wine/wineserver -w
      # Without an X display Wine loads no graphics driver and no window can
      # be made; the null driver gives windows that are never shown, enough
      # for the tests' stand-in mail clients. With a display, Wine's own.
      if [ -z "${DISPLAY:-}" ]; then
        /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
          </dev/null >/dev/null 2>&1 || true
        /usr/lib/wine/wineserver -w
      fi
    fi
    persist
    # Start the session's background services now, with no output to inherit:
    # started by the first test program instead, they would hold its output
    # pipe open and the reader would wait for them.
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 fresh|start|stop PREFIX" >&2; exit 2 ;;
esac
