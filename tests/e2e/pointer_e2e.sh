#!/usr/bin/env bash
# Real pointer input on the real companion under Wine: a click, a drag, a drag past the monitor's
# edge, a full-screen window in front, and the Monitor preference with two monitors. xdotool moves
# and presses the X pointer; companion_probe.exe reads what only Windows knows.
#
#   pointer_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR [--measure]
#
# --measure also prints the peak working set and the CPU an idle companion uses over 60 s.
set -u
bin=$(cd "$1" && pwd)
mkdir -p "$2" "$3"
export WINEPREFIX=$(cd "$2" && pwd)
shots=$(cd "$3" && pwd)
measure=${4:-}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

failures=0
xvfb_pid=""
companion_pid=""

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
  [ -n "$companion_pid" ] && kill "$companion_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  companion_pid=""
  xvfb_pid=""
}
trap stop_all EXIT

# start_display XVFB_ARGUMENTS...: a display of our own for one scenario.
start_display() {
  # Xvfb picks a free display number itself, so parallel runs never share one.
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -s "$number_file" ]; then
      export DISPLAY=":$(head -n 1 "$number_file")"
      rm -f "$number_file"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  return 1
}

# Inside Wine's virtual desktop a program sees only the windows of that desktop.
desktop=()
probe() {
  timeout 30 "$wine" "${desktop[@]}" "$bin/companion_probe.exe" "$@" 2>/dev/null | tr -d '\r'
}

preferences() {
  find "$WINEPREFIX/drive_c/users" -path '*/Scrollwick/Companion/preferences.ini' 2>/dev/null |
    head -1
}

write_preferences() {
  local folder
  folder=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -type d -path '*/AppData/Local' | head -1)
  mkdir -p "$folder/Scrollwick/Companion"
  printf '[Companion]\r\nVersion=6\r\n%s' "$1" >"$folder/Scrollwick/Companion/preferences.ini"
}

preference() { tr -d '\r' 2>/dev/null <"$(preferences)" | sed -n "s/^$1=//p"; }

# wait_window VISIBLE SECONDS: until the companion window's visibility is VISIBLE.
wait_window() {
  for _ in $(seq $(($2 * 5))); do
    read -r left top right bottom visible _ <<<"$(probe window)"
    [ "${visible:-}" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}

read_window() { read -r left top right bottom visible _ <<<"$(probe window)"; }

# wait_bubble VISIBLE SECONDS: until the bubble window's visibility is VISIBLE.
wait_bubble() {
  for _ in $(seq $(($2 * 5))); do
    read -r shown _ <<<"$(probe bubble)"
    [ "${shown:-}" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}

press_and_move() {  # x y dx dy: press at (x, y), move in steps by (dx, dy), release
  xdotool mousemove "$1" "$2"
  sleep 0.3
  xdotool mousedown 1
  sleep 0.2
  for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove $(($1 + $3 * step / 10)) $(($2 + $4 * step / 10))
    sleep 0.05
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 1
}

# The prefix exists before the first scenario (the first run of Wine creates it).
[ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; wineserver -w; }

echo "=== one monitor, Wine's virtual desktop with a taskbar"
start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
rm -f "$(preferences)"
# A long display time keeps the bubble up through the drags, so the full-screen check sees it go.
write_preferences "DisplaySeconds=600"$'\r\n'
desktop=(explorer /desktop=shell,1920x1080)
"$wine" "${desktop[@]}" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
companion_pid=$!
# The companion's explorer creates the virtual desktop; a probe's explorer racing it could
# create a desktop of its own first.
sleep 3
check "the companion appears" wait_window 1 60
read -r device _ _ mright mbottom work_bottom _ <<<"$(probe monitors | head -1)"
read_window
check "the figure stands 3 pixels above the work area's bottom (was $bottom, work $work_bottom)" \
  test "$bottom" -eq $((work_bottom - 3))
check "the figure is 105 x 71 at 96 DPI" test $((right - left)) -eq 105 -a $((bottom - top)) -eq 71
sleep 2
import -window root "$shots/figure-on-taskbar.png"

x=$(((left + right) / 2))
y=$(((top + bottom) / 2))
start_left=$left
start_top=$top
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool mousedown 1
sleep 0.2
xdotool mousemove $((x + 2)) $((y + 1))
sleep 0.2
xdotool mouseup 1
sleep 1.5
read_window
check "a press and release within the drag threshold leaves the figure in place" \
  test "$left" -eq "$start_left" -a "$top" -eq "$start_top"
check "a click does not switch to free placement" test "$(preference FreePlacement)" != 1
check "a click asks for a Scripture, which shows in the bubble" wait_bubble 1 20

press_and_move "$x" "$y" 300 -400
read_window
check "a drag moves the figure with the pointer ($left,$top)" \
  test "$left" -eq $((start_left + 300)) -a "$top" -eq $((start_top - 400))
check "the drag saved free placement" test "$(preference FreePlacement)" = 1
check "the drag saved the position" \
  test "$(preference PositionX)" = "$left" -a "$(preference PositionY)" = "$top"
check "the drag saved the monitor ($(preference Monitor))" test "$(preference Monitor)" = "$device"

x=$(((left + right) / 2))
y=$(((top + bottom) / 2))
press_and_move "$x" "$y" $((mright - x + 400)) $((mbottom - y + 400))
read_window
check "dragging past the corner stops at the monitor's edge ($right,$bottom)" \
  test "$right" -eq "$mright" -a "$bottom" -eq "$mbottom"

probe cover 8 &
cover_pid=$!
check "a borderless window covering the monitor hides the companion" wait_window 0 6
check "and hides the bubble" wait_bubble 0 2
wait "$cover_pid"
check "closing it shows the companion again" wait_window 1 6

if [ "$measure" = "--measure" ]; then
  # CPU from the Linux process that Wine runs the program in; Wine's own figures for another
  # process are not reliable.
  companion_unix_pid=$(pgrep -fx "$bin/ScrollwickCompanion.exe" | head -1)
  cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$companion_unix_pid/stat"; }
  before=$(cpu_ticks)
  sleep 60
  after=$(cpu_ticks)
  read -r peak _ <<<"$(probe memory)"
  echo "measured: peak working set ${peak} MB; CPU over 60 s idle: $((after - before)) ticks of" \
    "1/$(getconf CLK_TCK) s ($(awk "BEGIN { printf \"%.3f\", ($after - $before) / $(getconf CLK_TCK) / 60 * 100 }")% of a core)"
fi
stop_all

echo "=== two monitors (Xinerama)"
desktop=()
# Xvfb's RandR knows one output only; Wine then takes the monitors from Xinerama.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
wineserver -w
start_display +xinerama -screen 0 1920x1080x24 -screen 1 1280x1024x24 ||
  { echo "FAILED: no X display"; exit 1; }
monitors=$(probe monitors)
echo "$monitors"
second=$(awk '$7 == 0 { print; exit }' <<<"$monitors")
read -r second_device second_left _ second_right _ second_work_bottom _ <<<"$second"
check "Wine reports two monitors" test "$(wc -l <<<"$monitors")" -eq 2
write_preferences "Monitor=$second_device"$'\r\n'
"$wine" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
companion_pid=$!
check "the companion appears" wait_window 1 60
read_window
check "the Monitor preference puts the figure on the second monitor ($left..$right)" \
  test "$left" -ge "${second_left:-0}" -a "$right" -le "${second_right:-0}" \
  -a "$bottom" -eq $((${second_work_bottom:-0} - 3))
"$wine" "$bin/ScrollwickCompanion.exe" --quit >/dev/null 2>&1
wait "$companion_pid"

write_preferences $'Monitor=\\\\.\\NOSUCHDISPLAY\r\n'
"$wine" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
companion_pid=$!
check "the companion appears" wait_window 1 60
read -r primary_device primary_left _ primary_right _ _ _ <<<"$(awk '$7 == 1' <<<"$monitors")"
read_window
check "an unknown Monitor name falls back to the primary monitor ($left..$right)" \
  test "$left" -ge "$primary_left" -a "$right" -le "$primary_right"
"$wine" "$bin/ScrollwickCompanion.exe" --quit >/dev/null 2>&1
wait "$companion_pid"
stop_all

echo "pointer tests: $failures failed"
[ "$failures" -eq 0 ]
