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
case "$action" in
  fresh)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    ;&
  start)
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
    fi
    /usr/lib/wine/wineserver -p
    ;;
  stop)
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 fresh|start|stop PREFIX" >&2; exit 2 ;;
esac
