#!/usr/bin/env bash
# Real pointer input on the real companion under Wine: a click, a click that dismisses the
# Scripture during the greeting wave, a drag, a drag past the monitor's edge, a full-screen window
# in front, the tray icon, and the Monitor preference with two monitors. xdotool moves and presses
# the X pointer; companion_probe.exe reads what only Windows knows.
#
#   pointer_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR [--measure]
#
# --measure also prints the peak working set and the CPU an idle companion uses over 60 s.
measure=${4:-}
# shellcheck source=wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh"

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

# True when the figure's pixels change within a second: it is moving, not frozen in one frame.
figure_moves() {
  read_window
  local area="$((right - left))x$((bottom - top))+$left+$top" frame
  import -window root -crop "$area" "$shots/motion-0.png"
  for frame in 1 2 3 4; do
    sleep 0.25
    import -window root -crop "$area" "$shots/motion-1.png"
    [ "$(compare -metric AE "$shots/motion-0.png" "$shots/motion-1.png" null: 2>&1)" != 0 ] && return
  done
  return 1
}

echo "=== one monitor, Wine's virtual desktop with a taskbar"
start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
# A long display time keeps the bubble up through the drags, so the full-screen check sees it go.
write_preferences "DisplaySeconds=600"$'\r\n'"YoungerPreview=0"$'\r\n'
start_companion
check "the companion appears" until_within 60 window_is 1
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
check "a click asks for a Scripture, which shows in the bubble" until_within 20 bubble_is 1

# The figure greets the Scripture with an 8-second wave; a click dismisses the Scripture.
xdotool click 1
check "a click during the wave dismisses the Scripture" until_within 5 bubble_is 0
xdotool mousemove $((x - 400)) $((y - 400))
check "the figure moves on after the press that stopped it" figure_moves
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool click 1
check "another click asks again" until_within 20 bubble_is 1

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
check "a borderless window covering the monitor hides the companion" until_within 6 window_is 0
check "and hides the bubble" until_within 2 bubble_is 0
wait "$cover_pid"
check "closing it shows the companion again" until_within 6 window_is 1

# The notification-area icon sits at the right end of Wine's taskbar. A double click delivers
# two selects, which used to ask and at once dismiss.
xdotool mousemove $((mright - 10)) $((mbottom - 10))
sleep 0.5
xdotool click --repeat 2 --delay 80 1
check "a double click on the tray icon asks for one Scripture" until_within 20 bubble_is 1

if [ "$measure" = "--measure" ]; then
  # CPU from the Linux process that Wine runs the program in; Wine's own figures for another
  # process are not reliable.
  companion_unix_pid=$(pgrep -fx "$bin/ScrollwickCompanion.exe" | head -1)
  cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$companion_unix_pid/stat"; }
  before=$(cpu_ticks)
  sleep 60
  after=$(cpu_ticks)
  read -r peak _ <<<"$(probe resources)"
  echo "measured: peak working set ${peak} MB; CPU over 60 s idle: $((after - before)) ticks of" \
    "1/$(getconf CLK_TCK) s ($(awk "BEGIN { printf \"%.3f\", ($after - $before) / $(getconf CLK_TCK) / 60 * 100 }")% of a core)"
fi
stop_all

echo "=== two monitors (Xinerama)"
start_display +xinerama -screen 0 1920x1080x24 -screen 1 1280x1024x24 ||
  { echo "FAILED: no X display"; exit 1; }
# Xvfb's RandR knows one output only; Wine then takes the monitors from Xinerama.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f >/dev/null 2>&1
virtual_desktop off
monitors=$(probe monitors)
echo "$monitors"
second=$(awk '$7 == 0 { print; exit }' <<<"$monitors")
read -r second_device second_left _ second_right _ second_work_bottom _ <<<"$second"
check "Wine reports two monitors" test "$(wc -l <<<"$monitors")" -eq 2
write_preferences "Monitor=$second_device"$'\r\n'
start_companion
check "the companion appears" until_within 60 window_is 1
read_window
check "the Monitor preference puts the figure on the second monitor ($left..$right)" \
  test "$left" -ge "${second_left:-0}" -a "$right" -le "${second_right:-0}" \
  -a "$bottom" -eq $((${second_work_bottom:-0} - 3))
"$wine" "$bin/ScrollwickCompanion.exe" --quit >/dev/null 2>&1
check "--quit ends it" wait_companion 30

write_preferences $'Monitor=\\\\.\\NOSUCHDISPLAY\r\n'
start_companion
check "the companion appears" until_within 60 window_is 1
read -r _ primary_left _ primary_right _ _ _ <<<"$(awk '$7 == 1' <<<"$monitors")"
read_window
check "an unknown Monitor name falls back to the primary monitor ($left..$right)" \
  test "$left" -ge "$primary_left" -a "$right" -le "$primary_right"
"$wine" "$bin/ScrollwickCompanion.exe" --quit >/dev/null 2>&1
check "--quit ends it" wait_companion 30

finish pointer
