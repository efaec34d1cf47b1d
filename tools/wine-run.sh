#!/usr/bin/env bash
# Runs a Windows program under Wine and passes its exit code through.
#
#   tools/wine-run.sh [--prefix DIR] program.exe [arguments...]
#
# The Wine prefix is DIR (default: build/windows/wineprefix), never ~/.wine. Without a DISPLAY
# the run gets its own virtual X display, and the runner waits for wineserver to finish before
# that display goes away.
set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix="$here/../build/windows/wineprefix"
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix="$2"; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 1 ]; then
  echo "usage: wine-run.sh [--prefix DIR] program.exe [arguments...]" >&2
  exit 64
fi

if [ -z "${DISPLAY:-}" ]; then
  export SCROLLWICK_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" --prefix "$prefix" "$@"
fi

mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export WINEARCH=win64
export WINEDEBUG=-all
# Creating a prefix would otherwise stop to offer Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

# Several test programs may start at once; only one of them creates the prefix. Every program of
# the prefix runs in Wine's virtual desktop "shell", which has a taskbar (work area 1920 x 1060)
# and a notification area, as a Windows desktop has.
(
  flock 9
  if [ ! -f "$WINEPREFIX/.scrollwick-desktop" ]; then
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1920x1080 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.scrollwick-desktop"
  fi
) 9>"$WINEPREFIX.lock"

"$wine" "$@"
rc=$?

# Under xvfb-run the display dies with this script: let wineserver finish with it first.
if [ -n "${SCROLLWICK_OWN_DISPLAY:-}" ]; then
  wineserver -w
fi
exit $rc
