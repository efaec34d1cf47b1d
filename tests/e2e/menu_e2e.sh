#!/usr/bin/env bash
# The right-click menu of the real companion under Wine: xdotool right-clicks the figure with the
# real pointer and walks the menu with the arrow keys; companion_probe.exe reads what only
# Windows knows (the menu, the bubble and its hint, the tray icon, the exit code).
#
#   menu_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR
set -u
bin=$(cd "$1" && pwd)
mkdir -p "$2" "$3"
export WINEPREFIX=$(cd "$2" && pwd)
shots=$(cd "$3" && pwd)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

failures=0
xvfb_pid=""
companion_pid=""
waiter_pid=""
exit_file=$(mktemp)

check() {
  local description=$1
  shift
  if "$@"; then
    echo "ok: $description"
  else
    echo "FAILED: $description"
    failures=$((failures + 1))
  fi
}

stop_all() {
  [ -n "$waiter_pid" ] && kill "$waiter_pid" 2>/dev/null
  [ -n "$companion_pid" ] && kill "$companion_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -f "$exit_file"
}
trap stop_all EXIT

start_display() {
  local n=91
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -nolisten tcp "$@" >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# Inside Wine's virtual desktop a program sees only the windows of that desktop.
desktop=(explorer /desktop=shell,1920x1080)
# A probe that hangs (Wine occasionally never returns from the desktop launcher) gives up.
probe() { timeout 30 "$wine" "${desktop[@]}" "$bin/companion_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

preferences() {
  find "$WINEPREFIX/drive_c/users" -path '*/Scrollwick/Companion/preferences.ini' 2>/dev/null |
    head -1
}
preference() { tr -d '\r' 2>/dev/null <"$(preferences)" | sed -n "s/^$1=//p"; }

read_window() { read -r left top right bottom visible _ <<<"$(probe window)"; }

wait_window() {  # SECONDS: until the companion window is shown
  for _ in $(seq $(($1 * 2))); do
    read_window
    [ "${visible:-0}" = 1 ] && return 0
    sleep 0.5
  done
  return 1
}

# wait_for SECONDS EXPECTED COMMAND...: until the probe's answer is EXPECTED.
wait_for() {
  local seconds=$1 expected=$2
  shift 2
  for _ in $(seq $((seconds * 2))); do
    [ "$(probe "$@")" = "$expected" ] && return 0
    sleep 0.5
  done
  return 1
}

wait_bubble() {  # SECONDS: until the bubble is shown
  for _ in $(seq $(($1 * 2))); do
    read -r shown _ <<<"$(probe bubble)"
    [ "${shown:-0}" = 1 ] && return 0
    sleep 0.5
  done
  return 1
}

# A right-click on the middle of the figure with the real pointer; true once the menu is shown.
open_menu() {
  read_window
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2))
  sleep 0.3
  xdotool click 3
  wait_for 10 1 menu
}

choose() {  # KEYS...: walk the open menu and press them in turn
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
  wait_for 10 0 menu
}

[ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; wineserver -w; }
start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
rm -f "$(preferences)"

"$wine" "${desktop[@]}" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
companion_pid=$!
check "the companion appears" wait_window 60
# Holds the companion's process open from the start, so its exit code can be read at the end.
probe exit-code >"$exit_file" &
waiter_pid=$!
for _ in $(seq 40); do grep -q waiting "$exit_file" && break; sleep 0.5; done
read -r _ _ _ _ _ work_bottom _ <<<"$(probe monitors | head -1)"

check "a right-click on the figure opens the menu" open_menu
import -window root "$shots/menu-open.png"
check "Give me a Scripture closes the menu" choose Down Return
check "a bubble shows the Scripture" wait_bubble 90
import -window root "$shots/menu-scripture.png"

read_window
small_height=$((bottom - top))
check "the menu opens again" open_menu
check "Character size, 2x height closes the menu" choose Down Down Down Right Down Return
sleep 1
read_window
check "the larger figure is re-placed ($small_height -> $((bottom - top)) pixels high)" \
  test $((bottom - top)) -gt $((small_height * 3 / 2))
check "it still stands on the taskbar (bottom $bottom, work area $work_bottom)" \
  test "$bottom" -le "$work_bottom" -a "$bottom" -ge $((work_bottom - 20))
check "the size is saved" test "$(preference SizeMultiple)" = 2

check "the menu opens for Settings" open_menu
check "Settings, Support Scrollwick closes the menu" choose Down Down Down Down Down Down Right Up Up Return
check "the support message shows with its hint" \
  wait_for 10 "1 Click for optional financial support" bubble
import -window root "$shots/menu-support.png"

handle=$(probe handle)
check "the tray icon is there before Exit" test "$(probe tray "$handle")" = 1
check "the menu opens for Exit" open_menu
xdotool key Up
sleep 0.2
xdotool key Return
wait "$waiter_pid" 2>/dev/null
waiter_pid=""
code=$(sed -n 2p "$exit_file")
check "Exit ends the process with 0 (${code:-none})" test "$code" = 0
check "Exit removes the tray icon" test "$(probe tray "$handle")" = 0

echo "menu tests: $failures failed"
[ "$failures" -eq 0 ]
