#!/usr/bin/env bash
# Builds the companion and starts it under Wine with --preview, so a Scripture shows at once.
# With a DISPLAY it runs there until you choose Exit from its menu. Without one it runs on a
# virtual screen inside Wine's desktop (with a taskbar), saves a screenshot to
# build/windows/screenshots/companion.png and closes the companion again.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

tools/bootstrap.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target ScrollwickCompanion \
  companion_probe

exe="$root/build/windows/bin/ScrollwickCompanion.exe"
prefix="$root/build/windows/wineprefix"

if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine-run.sh --prefix "$prefix" "$exe" --preview
fi

shots="$root/build/windows/screenshots"
mkdir -p "$shots"
display=86
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
sleep 1

# The first run creates the Wine prefix; with nothing running, --quit only does that.
tools/wine-run.sh --prefix "$prefix" "$exe" --quit
tools/wine-run.sh --prefix "$prefix" "$exe" --preview &
companion=$!
# Wait for the Scripture (from the Bible server, or an offline verse when it cannot be reached).
probe() { tools/wine-run.sh --prefix "$prefix" "$root/build/windows/bin/companion_probe.exe" "$@"; }
for _ in $(seq 60); do
  read -r shown _ <<<"$(probe bubble 2>/dev/null | tr -d '\r')"
  [ "${shown:-0}" = 1 ] && break
  sleep 1
done
sleep 2  # the figure's greeting
import -window root "$shots/companion.png"
tools/wine-run.sh --prefix "$prefix" "$exe" --quit
wait "$companion" || true
echo "Screenshot: $shots/companion.png"
