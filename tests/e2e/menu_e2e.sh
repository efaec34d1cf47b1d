#!/usr/bin/env bash
# The right-click menu of the real companion under Wine: xdotool right-clicks the figure with the
# real pointer and walks the menu with the arrow keys; companion_probe.exe reads what only
# Windows knows (the menu, the bubble and its hint, the tray icon).
#
#   menu_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR
# shellcheck source=wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh"

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
rm -f "$(preferences)"

start_companion
check "the companion appears" until_within 60 window_is 1
read -r _ _ _ _ _ work_bottom _ <<<"$(probe monitors | head -1)"

check "a right-click on the figure opens the menu" open_menu
import -window root "$shots/menu-open.png"
check "Give me a Scripture closes the menu" choose Down Return
check "a bubble shows the Scripture" until_within 90 bubble_is 1
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
check "Settings, Support Scrollwick closes the menu" \
  choose Down Down Down Down Down Down Right Up Up Return
check "the support message shows with its hint" \
  until_within 10 answer_is "1 Click for optional financial support" bubble
import -window root "$shots/menu-support.png"

read -r _ _ _ _ _ handle _ <<<"$(probe window)"
check "the tray icon is there before Exit" answer_is 1 tray "$handle"
check "the menu opens for Exit" open_menu
xdotool key Up
sleep 0.2
xdotool key Return
wait_companion 30
check "Exit ends the process with 0 (it ended with $companion_code)" test "$companion_code" = 0
check "Exit removes the tray icon" answer_is 0 tray "$handle"

finish menu
