#!/usr/bin/env bash
# Start-up races: five companions started at the same moment leave exactly one running, with one
# window and its tray icon, which --quit then ends. (--quit during a start-up: the Startup tests.)
#
#   races_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR [ROUNDS]
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine_session.sh
source "$here/wine_session.sh"
rounds=${4:-2}
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; stop_all' EXIT
alive() {  # how many of the companions in pids still run
  local n=0 pid
  for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && n=$((n + 1)); done
  echo "$n"
}
alive_at_most() { [ "$(alive)" -le "$1" ]; }
quit() { timeout 30 "$wine" "$bin/ScrollwickCompanion.exe" --quit >/dev/null 2>&1; }

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
write_preferences $'GapSeconds=0\r\n'
for round in $(seq "$rounds"); do
  pids=()
  for _ in 1 2 3 4 5; do
    "$wine" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
    pids+=($!)
  done
  # A losing instance retries for 5 s while the winner starts, then forwards and ends.
  until_within 60 alive_at_most 1
  sleep 1
  echo "round $round of five at once: $(alive) running, $(probe companions) companion windows," \
    "tray icon $(probe tray)"
  check "round $round: one instance runs" test "$(alive)" -eq 1
  check "round $round: one companion window" answer_is 1 companions
  check "round $round: its tray icon is there" answer_is 1 tray
  quit
  check "round $round: --quit ends it" until_within 20 alive_at_most 0
done

finish races
