#!/usr/bin/env bash
# The road of one Scripture, end to end: the real exe under Wine against the real nginx serving
# the built books (inside tools/serve-bible.sh, so the maker's hosts resolve to it for this run
# only), the menu worked with the real pointer and keys, then the passage page the bubble opens,
# loaded in headless chromium.
#
#   online_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR
# shellcheck source=served_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/served_session.sh"
content="$root/build/server/content"
work=$(mktemp -d /tmp/scrollwick-online.XXXXXX)
trap 'stop_all; rm -rf "$work"' EXIT

hint() { probe bubble | cut -d' ' -f2-; }
copy_shown() {  # the shown Scripture through the menu's Copy, split into text and reference
  open_menu && choose Down Down Down Down Return || return 1
  probe clipboard >"$work/copied"
  python3 - "$work/copied" "$work/text" "$work/reference" <<'PY'
import sys
copied = open(sys.argv[1], encoding="utf-8").read()
text, _, tail = copied.rpartition("\n")  # the probe drops carriage returns
open(sys.argv[2], "w", encoding="utf-8").write(text)
open(sys.argv[3], "w", encoding="utf-8").write(tail)
PY
  reference=$(cat "$work/reference")
}
shown_passage_of() {  # CODE: the copied Scripture is a passage of that translation's book
  [ "${reference##* (}" = "$1)" ] &&
    python3 "$here/passage_in_book.py" "$content" "$1" "${reference% (*}" "$work/text"
}
nginx_workers() { pgrep -P "$(cat "$(dirname "$SCROLLWICK_SERVER_CTL")/nginx.pid")"; }

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
virtual_desktop on
# Wine's browser launcher runs the first program of this list with the URL.
"$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$here/record_url.sh" /f \
  >/dev/null 2>&1
export SCROLLWICK_URL_LOG="$work/opened-urls.txt"
write_preferences $'DisplaySeconds=120\r\nGapSeconds=0\r\nTranslation=1\r\n'
start_companion
check "the companion appears" until_within 60 window_is 1

probe show
check "a Scripture shows after the ask" until_within 20 bubble_is 1
import -window root "$shots/online-bubble.png"
check "the hint names the King James Version ($(hint))" eval '[[ "$(hint)" == *"King James Version" ]]'
check "Copy current Scripture copies it" copy_shown
check "it is a complete sentence of the KJV book ($reference)" shown_passage_of kjv

# A click on the bubble opens its passage page, which marks exactly the passage's verses.
read -r b_left b_top b_right b_bottom _ <<<"$(probe window bubble)"
xdotool mousemove $(((b_left + b_right) / 2)) $(((b_top + b_bottom) / 2)) click 1
check "a click on the bubble opens the passage page" until_within 10 test -s "$SCROLLWICK_URL_LOG"
url=$(head -1 "$SCROLLWICK_URL_LOG")
range=${reference% (*}
range=${range##* }
chapter=${range%%:*} verses=${range#*:}
marked=$(for v in $(seq "${verses%-*}" "${verses#*-}"); do printf '%s:%s ' "$chapter" "$v"; done)
page=$(node "$root/tests/site/check_passage.mjs" "$url" "$shots/online-passage-page.png" 2>&1)
echo "$page" | sed 's/^/  page: /'
check "the page $url marks exactly ${marked% }" grep -qxF "marked verses: ${marked% }" <<<"$page"

# The translation changes while a request waits on a stalled server: only the new one shows.
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1  # dismiss
check "a click on the figure dismisses the bubble" until_within 10 bubble_is 0
check "the menu opens" open_menu
# Settings, then Bible translation (third from the end of Settings), left on its first entry.
for key in Down Down Down Down Down Down Right Up Up Up Right; do
  xdotool key "$key"
  sleep 0.2
done
workers=$(nginx_workers)
kill -STOP $workers
probe show
sleep 1
check "Young's Literal Translation is chosen while the request waits" choose Down Down Down Return
kill -CONT $workers
check "a Scripture shows" until_within 30 bubble_is 1
check "the hint names Young's Literal Translation ($(hint))" \
  eval '[[ "$(hint)" == *"Young'"'"'s Literal Translation" ]]'
check "Copy current Scripture copies it" copy_shown
check "it is a passage of the YLT book ($reference)" shown_passage_of ylt

# With the server stopped and no book kept from before, an offline verse shows.
xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
until_within 10 bubble_is 0
"$SCROLLWICK_SERVER_CTL" stop
rm -rf "$(dirname "$(preferences)")/Books"
probe show
check "with the server stopped a Scripture still shows" until_within 30 bubble_is 1
check "it is an offline verse ($(hint))" eval '[[ "$(hint)" == *"(offline backup)" ]]'
"$SCROLLWICK_SERVER_CTL" start

check "the worker's part for Psalms, measured" "$wine" "$bin/measure_online.exe"
finish online
