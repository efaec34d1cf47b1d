#!/usr/bin/env bash
# Measured runs of the figure, not tests: they print figures and save screenshots.
#
#   tools/measure-figure.sh [COMPANION.exe]
#
# 1. measure_figure.exe: CPU per RenderCharacter frame at the three sizes, the CPU to load an
#    atlas, and memory once all ten clips have played.
# 2. The real companion at each size with each figure: the CPU it spends on the 8-second greeting
#    that follows a Scripture (the full-motion figure waves), its peak working set, a screenshot
#    with the bubble up (build/windows/screenshots/figure-SIZE-FIGURE.png), and the gap between
#    the tip of the bubble's tail and the top of the resting figure's head, read from the screen:
#    the head is the figure's first row before the bubble shows, the tip the lowest row the
#    bubble changes. COMPANION.exe measures another build of the program (say, an older one)
#    instead of this tree's.
# 3. The greeting's CPU at the largest size once more, with Wine's shaping of layered windows
#    switched off in the prefix: what the program itself costs, without Wine's X shapes.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
cmake --build --preset windows --target ScrollwickCompanion companion_probe measure_figure >/dev/null
shots="$root/build/windows/screenshots"

# shellcheck source=tests/e2e/wine_session.sh
source tests/e2e/wine_session.sh build/windows/bin build/windows/wineprefix-measure "$shots"
set +e
exe=$(realpath "${1:-$bin/ScrollwickCompanion.exe}")
start_display -screen 0 1920x1080x24 || { echo "no X display"; exit 1; }
virtual_desktop on
"$wine" "$bin/measure_figure.exe" 2>/dev/null | tr -d '\r'

# rows BEFORE.png AFTER.png LEFT TOP RIGHT BOTTOM BUBBLE_RECT: the first row of the figure's
# window that differs from the desktop in BEFORE, and the lowest row of the bubble's window that
# differs between the two shots (the bubble's tail tip).
rows() {
  python3 - "$@" <<'EOF'
import subprocess, sys
def load(path):
    data = subprocess.run(["convert", path, "ppm:-"], capture_output=True, check=True).stdout
    parts = data.split(b"\n", 3)
    width, height = map(int, parts[1].split())
    return width, parts[3]
width, before = load(sys.argv[1])
_, after = load(sys.argv[2])
left, top, right, bottom, bubble_left, bubble_top, bubble_right, bubble_bottom = map(int, sys.argv[3:11])
px = lambda img, x, y: img[(y * width + x) * 3:(y * width + x) * 3 + 3]
desktop = px(before, left, top)
head = next(y for y in range(top, bottom) if any(px(before, x, y) != desktop for x in range(left, right)))
tip = max(y for y in range(bubble_top, bubble_bottom) for x in range(bubble_left, bubble_right)
          if px(before, x, y) != px(after, x, y))
print(head, tip)
EOF
}

# CPU of the companion's own process in ms, from Linux: Wine's answer for another process lags.
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) * 1000 / hz) }' "/proc/$companion_pid/stat"; }

for younger in 0 1; do
  figure=$([ "$younger" = 1 ] && echo lamb || echo sheep)
  for size in 1 2 3; do
    write_preferences "SizeMultiple=$size"$'\r\n'"YoungerPreview=$younger"$'\r\n'"DisplaySeconds=600"$'\r\n'"GapSeconds=0"$'\r\n'
    "$wine" "$exe" >/dev/null 2>&1 &
    companion_pid=$!
    until_within 60 window_is 1 || { echo "size $size $figure: the companion did not appear"; continue; }
    sleep 4
    read_window
    import -window root "$shots/figure-$size-$figure-before.png"
    cpu_before=$(cpu_ms)
    probe show >/dev/null
    until_within 30 bubble_is 1
    sleep 8.5  # the greeting: a wave, or the lamb's clip
    cpu_after=$(cpu_ms)
    read -r peak _ <<<"$(probe resources)"
    sleep 10  # the figure comes back to rest
    import -window root "$shots/figure-$size-$figure.png"
    read -r bubble_left bubble_top bubble_right bubble_bottom _ <<<"$(probe window bubble)"
    read -r head tip <<<"$(rows "$shots/figure-$size-$figure-before.png" \
      "$shots/figure-$size-$figure.png" "$left" "$top" "$right" "$bottom" \
      "$bubble_left" "$bubble_top" "$bubble_right" "$bubble_bottom")"
    echo "measured: size $size, $figure: CPU over the first 8.5 s of the greeting" \
      "$((cpu_after - cpu_before)) ms," \
      "peak working set $peak MB, tail tip at row $tip, head top at row $head:" \
      "gap $((head - tip)) px"
    "$wine" "$exe" --quit >/dev/null 2>&1
    wait_companion 30 || stop_all
    rm -f "$shots/figure-$size-$figure-before.png"
  done
done

# Wine cuts a layered window's X shape to its visible pixels on every push, and the X server then
# sends it dozens of exposures a frame (on Windows the compositor takes the pixels as they are).
# The same greetings with that switched off in the prefix show the program's own part.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v ShapeLayeredWindows /d N /f >/dev/null 2>&1
wineserver -w
for younger in 0 1; do
  figure=$([ "$younger" = 1 ] && echo lamb || echo sheep)
  write_preferences "SizeMultiple=3"$'\r\n'"YoungerPreview=$younger"$'\r\n'"DisplaySeconds=600"$'\r\n'"GapSeconds=0"$'\r\n'
  "$wine" "$exe" >/dev/null 2>&1 &
  companion_pid=$!
  until_within 60 window_is 1 || { echo "size 3 $figure: the companion did not appear"; continue; }
  sleep 4
  cpu_before=$(cpu_ms)
  probe show >/dev/null
  until_within 30 bubble_is 1
  sleep 8.5
  echo "measured: size 3, $figure, Wine's shaping of layered windows off: CPU over the first" \
    "8.5 s of the greeting $(($(cpu_ms) - cpu_before)) ms"
  "$wine" "$exe" --quit >/dev/null 2>&1
  wait_companion 30 || stop_all
done
"$wine" reg delete 'HKCU\Software\Wine\X11 Driver' /v ShapeLayeredWindows /f >/dev/null 2>&1
stop_all
