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
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target ScrollwickCompanion

exe="$root/build/windows/bin/ScrollwickCompanion.exe"
prefix="$root/build/windows/wineprefix"

if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine-run.sh --prefix "$prefix" "$exe" --preview
fi

shots="$root/build/windows/screenshots"
mkdir -p "$shots"
Xvfb :86 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:86
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
sleep 1

tools/wine-run.sh --prefix "$prefix" "$exe" --preview &
# Give Wine time to start and the Scripture time to arrive (or fall back to an offline verse).
sleep "${SCROLLWICK_SCREENSHOT_DELAY:-15}"
import -window root "$shots/companion.png"
tools/wine-run.sh --prefix "$prefix" "$exe" --quit
wait || true
echo "Screenshot: $shots/companion.png"
