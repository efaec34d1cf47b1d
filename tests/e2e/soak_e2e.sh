#!/usr/bin/env bash
# Soak: the full-motion figure moving, a Scripture on display for 1 s with a 30 s gap, one more
# asked for every 10 s, online against nginx for 20 s and then 20 s against a stopped server, for
# SECONDS (180 by default; tools/reliability.sh soak runs 30 minutes). Every 10 s it samples the
# companion's GDI objects, handles and windows (counted as the probe's resources command says:
# Wine 8 has no GetGuiResources), and on the Linux side the Wine process's private data, resident memory and
# open files.
# Fails when the end of the run holds more than the first minute did, beyond small bounds.
# "viewed" is the count of Scriptures shown, as the preferences keep it (it stops at 50).
#
#   soak_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR [SECONDS]
# shellcheck source=served_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/served_session.sh"
seconds=${4:-180}
curve=$(mktemp /tmp/scrollwick-soak.XXXXXX)
trap 'stop_all; rm -f "$curve"' EXIT

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
write_preferences $'DisplaySeconds=1\r\nGapSeconds=30\r\nYoungerPreview=0\r\nMovement=1\r\n'
start_companion
check "the companion appears" until_within 60 window_is 1
# The wine process whose pid we hold runs the exe itself.
printf '%6s %5s %7s %5s %8s %8s %4s %6s %s\n' second gdi handles wins dataKB rssKB fds viewed \
  server | tee "$curve"
start=$SECONDS
for sample in $(seq 0 $((seconds / 10))); do
  while [ $((SECONDS - start)) -lt $((sample * 10)) ]; do sleep 0.2; done
  if [ $((sample % 4)) -eq 0 ]; then "$SCROLLWICK_SERVER_CTL" start; server=up; fi
  if [ $((sample % 4)) -eq 2 ]; then "$SCROLLWICK_SERVER_CTL" stop; server=down; fi
  read -r _ gdi handles windows _ <<<"$(probe resources)"
  data=$(awk '/^VmData/ { print $2 }' "/proc/$companion_pid/status" 2>/dev/null)
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$companion_pid/status" 2>/dev/null)
  fds=$(find "/proc/$companion_pid/fd" -mindepth 1 2>/dev/null | wc -l)
  viewed=$(preference ScripturesViewed)
  printf '%6d %5s %7s %5s %8s %8s %4s %6s %s\n' $((SECONDS - start)) "${gdi:--}" \
    "${handles:--}" "${windows:--}" "${data:--}" "${rss:--}" "$fds" "${viewed:--}" "$server" |
    tee -a "$curve"
  probe show
done
check "the companion ran the whole soak" window_is 1

# Baseline: the highest of the first minute (the art, GDI+ and the TLS stack are warm by then);
# end: the lowest of the last three samples, so one request in flight at the end does not count.
# Bounds: no window more; 16 handles (a worker thread, its WinHTTP handles and an event or two
# in flight); 16 GDI objects (a bubble's font, brushes and bitmaps being drawn); 16 MB of private
# data and resident memory (the heap keeps a book's buffers for reuse); 8 files. A leak of one
# object per Scripture, or of one book's text per few, passes these within minutes.
grows() {  # COLUMN BOUND NAME
  awk -v c="$1" -v bound="$2" -v name="$3" 'NR > 1 && $c != "-" {
      n++; v[n] = $c; if ($1 <= 60 && $c > base) base = $c }
    END {
      if (n < 4) { print name ": not sampled"; exit 0 }
      end = v[n]; for (i = n - 2; i < n; i++) if (v[i] < end) end = v[i]
      printf "%s: first minute %d, end %d, growth %d (bound %d)\n", name, base, end, end - base,
        bound
      exit end - base > bound }' "$curve"
}
check "GDI objects do not grow" grows 2 16 "GDI objects"
check "handles do not grow" grows 3 16 handles
check "windows do not grow" grows 4 0 windows
check "private data does not grow" grows 5 16384 "private data KB"
check "resident memory does not grow" grows 6 16384 "resident KB"
check "open files do not grow" grows 7 8 "open files"
finish soak
