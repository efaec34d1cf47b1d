#!/usr/bin/env bash
# Measures the Bible server as configured in server/nginx (one worker) on loopback and prints:
# the bytes on the wire for the largest book with and without gzip, the requests per second
# the worker serves for the gzip Psalms over HTTP/1.1 (wrk) and HTTP/2 (h2load), and how many
# companions that carries at the default timing. Needs root (tools/serve-bible.sh run) and the
# built content; the load runs for SECONDS (default 10) per tool.
#
#   tools/measure-server.sh [SECONDS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${SCROLLWICK_SERVER_CTL:-}" ]; then
  exec "$root/tools/serve-bible.sh" run -- "$0" "$@"
fi
seconds=${1:-10}
content="$root/build/server/content"
host=https://bible.scrollwick.org

# The default display time (10 s) and gap (60 s): each companion asks for one book every 70 s.
cycle=70

largest=$(cd "$content" && find bible -name '*.json' -printf '%s %p\n' | sort -n | tail -1 |
  cut -d' ' -f2)
echo "Largest book: /$largest ($(stat -c %s "$content/$largest") bytes)"
for mode in identity gzip; do
  flags=()
  [ "$mode" = gzip ] && flags=(--compressed)
  curl -sS "${flags[@]}" -o /dev/null \
    -w "  $mode: %{size_header} header + %{size_download} body bytes\n" "$host/$largest"
done

psalms="$host/bible/v1/web/PSA.json"
echo "Load: gzip $psalms, $seconds s per tool, one nginx worker"
# Besides the wall-clock rate, the rate per second of the worker's own CPU time: on a machine
# whose cores are shared (with the load generator, if nothing else) that is what one core
# serves.
worker=$(pgrep -P "$(cat "$SCROLLWICK_SERVER_LOGS/../nginx.pid")" | head -1)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$worker/stat"; }
tick=$(getconf CLK_TCK)
# measure NAME REQUESTS_AWK COMMAND...: prints the rates and sets $rate and $per_core.
measure() {
  local name=$1 pattern=$2 before out served wall cpu
  shift 2
  before=$(cpu_ticks)
  out=$("$@" 2>/dev/null)
  cpu=$(($(cpu_ticks) - before))
  read -r served wall < <(awk "$pattern" <<<"$out")
  per_core=$((served * tick / (cpu > 0 ? cpu : 1)))
  rate=$((served / ${wall%.*}))
  echo "  $name: $served requests in ${wall}s = $rate requests/s;" \
    "worker CPU $((cpu * 100 / tick / ${wall%.*}))%, $per_core requests per CPU second"
}
measure "wrk (HTTP/1.1, 64 connections)" '/requests in/ {sub("s,", "", $4); print $1, $4}' \
  wrk -t1 -c64 -d"${seconds}s" -H 'Accept-Encoding: gzip' "$psalms"
best_rate=$rate best_core=$per_core
measure "h2load (HTTP/2, 16 connections x 8 streams)" \
  '/^finished in/ {sub("s,", "", $3); wall = $3} /^requests:/ {print $8, wall}' \
  h2load -t1 -c16 -m8 -D "$seconds" -H 'Accept-Encoding: gzip' "$psalms"
best_rate=$((rate > best_rate ? rate : best_rate))
best_core=$((per_core > best_core ? per_core : best_core))

echo "One book per companion every $cycle s (display 10 s + gap 60 s):"
echo "  at $best_rate requests/s (measured here) one worker carries" \
  "$((best_rate * cycle)) companions"
echo "  at $best_core requests/s (one whole core) it carries $((best_core * cycle)) companions"
echo "  a million companions need $((1000000 / cycle)) requests/s"
