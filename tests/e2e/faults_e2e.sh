#!/usr/bin/env bash
# Every network fault ends in an offline verse within 15 s and never stalls the user interface:
# the real exe under Wine, nginx stopped and tools/bible_test_server.py's fault server in its
# place on 127.0.0.1:443, one fault after another, while the probe keeps timing how long the GUI
# thread takes to take a message.
#
#   faults_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR
# shellcheck source=served_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/served_session.sh"
work=$(mktemp -d /tmp/scrollwick-faults.XXXXXX)
server_pid="" stall_pid=""
stop_pid() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; }
trap 'stop_pid "$server_pid"; stop_pid "$stall_pid"; stop_all; rm -rf "$work"' EXIT

listening() { ss -Hltn 'sport = :443' | grep -q .; }
offline_shown() { [[ "$(probe bubble)" == "1 "*"(offline backup)" ]]; }

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
write_preferences $'DisplaySeconds=2\r\nGapSeconds=0\r\n'
# Books kept by an earlier run in this prefix would serve real passages when the server fails;
# this run is about what happens with nothing kept.
find "$WINEPREFIX/drive_c/users" -type d -path '*/Scrollwick/Companion/Books' -prune \
  -exec rm -rf {} +
"$SCROLLWICK_SERVER_CTL" stop
start_companion
check "the companion appears" until_within 60 window_is 1
timeout 600 "$wine" "$bin/companion_probe.exe" stall 540 >"$work/stall" 2>/dev/null &
stall_pid=$!
stall_start=$(date +%s%N)

printf '%-11s %s\n' fault "offline verse after (s)" >"$work/table"
for kind in hang drip reset short utf8 json nosentence 404 wronghost expired; do
  python3 "$root/tools/bible_test_server.py" fault "$kind" "$(dirname "$SCROLLWICK_SERVER_CTL")" &
  server_pid=$!
  check "the $kind server listens" until_within 20 listening
  started=$(date +%s%N)
  echo "$kind starts at second $(((started - stall_start) / 1000000000)) of the stall probe"
  probe show
  if until_within 20 offline_shown; then
    ms=$((($(date +%s%N) - started) / 1000000))
    printf '%-11s %d.%d\n' "$kind" $((ms / 1000)) $((ms % 1000 / 100)) >>"$work/table"
    check "$kind: an offline verse within 15 s ($ms ms)" test "$ms" -le 15000
  else
    check "$kind: an offline verse shows" false
  fi
  until_within 10 bubble_is 0
  stop_pid "$server_pid"
  server_pid=""
done
stop_pid "$stall_pid"
stall_pid=""
cat "$work/table"
read -r longest samples at <<<"$(tail -1 "$work/stall" | tr -d '\r')"
echo "longest wait of the GUI thread for a message: ${longest:-?} ms (second ${at:-?})" \
  "of ${samples:-?} (so the longest gap between two ticks is at most $((1000 + ${longest:-0})) ms)"
check "the GUI thread never stalled (a wait under 3 s)" test "${longest:-9999}" -lt 3000
finish faults
