#!/usr/bin/env bash
# The online road of one Scripture, end to end: the real exe under Wine against the real nginx
# serving the built books (inside tools/serve-bible.sh, so the maker's hosts resolve to it for
# this run only), then the passage page it opens, loaded in headless chromium.
#
#   online_e2e.sh BIN_DIR WINE_PREFIX SCREENSHOT_DIR
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -z "${SCROLLWICK_SERVER_CTL:-}" ]; then
  exec "$root/tools/serve-bible.sh" run -- "${BASH_SOURCE[0]}" "$@"
fi
bin=$1 prefix=$2 shots=$3
mkdir -p "$shots" "$prefix"
work=$(mktemp -d /tmp/scrollwick-online.XXXXXX)
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

# Wine opens sockets in wineserver, so the prefix's wineserver must start inside this namespace.
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
export SCROLLWICK_CONTENT="$root/build/server/content"
export SCROLLWICK_URL_RECORDER="$here/record_url.sh" SCROLLWICK_URL_LOG="$work/opened-urls.txt"
export SCROLLWICK_EXPECTED_PASSAGE="$work/expected-passage.txt"
export SCROLLWICK_SCREENSHOT_REQUEST="$work/screenshot-request"
run_tests() { "$root/tools/wine-run.sh" --prefix "$prefix" "$bin/companion_online_e2e_tests.exe" "$@"; }

status=0
(
  for _ in $(seq 600); do
    if [ -e "$SCROLLWICK_SCREENSHOT_REQUEST" ]; then
      import -window root "$shots/online-bubble.png" || true
      rm -f "$SCROLLWICK_SCREENSHOT_REQUEST"
    fi
    sleep 0.2
  done
) &
watcher=$!
run_tests --gtest_filter='Online.*' || status=1
kill "$watcher" 2>/dev/null || true
"$SCROLLWICK_SERVER_CTL" stop
run_tests --gtest_filter='ServerStopped.*' || status=1
"$SCROLLWICK_SERVER_CTL" start

# The page the click opened shows exactly the passage's verses marked.
if [ -s "$SCROLLWICK_EXPECTED_PASSAGE" ]; then
  { read -r url; read -r reference; } <"$SCROLLWICK_EXPECTED_PASSAGE"
  url=${url%$'\r'} reference=${reference%$'\r'}
  range=${reference##* } chapter=${range%%:*} verses=${range#*:}
  first=${verses%-*} last=${verses#*-}
  expected=$(for v in $(seq "$first" "$last"); do printf '%s:%s ' "$chapter" "$v"; done)
  out=$(node "$root/tests/site/check_passage.mjs" "$url" "$shots/online-passage-page.png") || true
  echo "$out"
  if grep -qxF "marked verses: ${expected% }" <<<"$out"; then
    echo "passage page: $reference marked as $expected"
  else
    echo "FAILED: the page for $reference does not mark exactly ${expected% }"
    status=1
  fi
else
  echo "FAILED: no passage URL was recorded"
  status=1
fi
exit $status
