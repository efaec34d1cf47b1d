#!/usr/bin/env bash
# Builds the companion and starts it under Wine with --preview, so a Scripture shows at once.
# With a DISPLAY it runs there until you choose Exit from its menu. Without one it runs on a
# virtual screen inside Wine's desktop (with a taskbar), saves a screenshot to
# build/windows/screenshots/companion.png and closes the companion again.
#
# The Bible server runs locally for the run (tools/serve-bible.sh run): inside a private
# namespace bible.scrollwick.org resolves to it and its throwaway CA is trusted, so the bubble
# shows a passage fetched from it. That needs root; without, the companion runs offline and
# shows its built-in verses.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

if [ "${1:-}" != --served ]; then
  tools/bootstrap.sh
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target ScrollwickCompanion \
    companion_probe server_content
  if [ "$(id -u)" -eq 0 ] && unshare -m -n true 2>/dev/null; then
    echo "run-companion: serving bible.scrollwick.org locally for this run"
    exec tools/serve-bible.sh run -- "$0" --served
  fi
  echo "run-companion: the local Bible server needs root and a private namespace, so the" \
    "companion runs offline and shows its built-in verses" >&2
fi

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
if [ -n "${SCROLLWICK_SERVER_LOGS:-}" ]; then
  echo "Books the companion fetched from the local Bible server:"
  grep ScrollwickCompanion "$SCROLLWICK_SERVER_LOGS/access.log" || echo "  none (an offline verse shows)"
fi
