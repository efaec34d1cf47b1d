#!/usr/bin/env bash
# Runs a Windows program under Wine and passes its exit code through.
#
#   tools/wine-run.sh [--prefix DIR] [--desktop WxH] program.exe [arguments...]
#
# The Wine prefix is DIR (default: build/windows/wineprefix), never ~/.wine. Without a DISPLAY
# the run gets its own virtual X display, and the runner waits for wineserver to finish before
# that display goes away. --desktop runs the program inside Wine's virtual desktop, which gives a
# Windows-like taskbar and notification area.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix="$here/../build/windows/wineprefix"
desktop=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    --desktop) desktop="$2"; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh [--prefix DIR] [--desktop WxH] program.exe [arguments...]" >&2
  exit 64
fi

if [ -z "${DISPLAY:-}" ]; then
  export SCROLLWICK_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --prefix "$prefix" ${desktop:+--desktop "$desktop"} "$@"
fi

mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export WINEARCH=win64
export WINEDEBUG=-all
# Creating a prefix would otherwise stop to offer Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

# Several test programs may start at once; only one of them creates the prefix.
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"

if [ -n "$desktop" ]; then
  "$wine" explorer "/desktop=shell,$desktop" "$@"
else
  "$wine" "$@"
fi
rc=$?

# Under xvfb-run the display dies with this script: let wineserver finish with it first.
if [ -n "${SCROLLWICK_OWN_DISPLAY:-}" ]; then
  wineserver -w
fi
exit $rc
