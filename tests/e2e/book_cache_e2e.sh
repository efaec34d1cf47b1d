#!/usr/bin/env bash
# Kept books, with the real companion under Wine and the real nginx, inside
# `tools/serve-bible.sh run` (bible.scrollwick.org on loopback in a namespace of its own).
# Online Scriptures keep their books; with the server stopped the next Scriptures are passages of
# those books; without the cache folder the offline verses return; and killing the companion
# while it downloads and writes never leaves a kept file that is not the served one.
#
#   book_cache_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR CONTENT_DIR
[ -n "${SCROLLWICK_SERVER_CTL:-}" ] || { echo "run this through tools/serve-bible.sh run"; exit 77; }
content=$(cd "$4/bible/v1" && pwd)
# Wine creates sockets in the wineserver: one started outside this namespace would use the
# machine's network, where the server is not.
mkdir -p "$2" && WINEPREFIX=$(cd "$2" && pwd) wineserver -k 2>/dev/null
# shellcheck source=wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine_session.sh" "$1" "$2" "$3"
shopt -s nullglob
hint="" online_books=""

ask_companion() { timeout 30 "$wine" "$bin/ScrollwickCompanion.exe" "$@" >/dev/null 2>&1; }
shows_new() { read -r shown hint <<<"$(probe bubble)" && [ "$shown" = 1 ] && [ "$hint" != "$1" ]; }
# Asks for a Scripture; true once a new one shows, its hint ("reference · translation") in `hint`.
ask() { ask_companion && until_within 30 shows_new "$hint" && echo "  shown: $hint"; }
book_of() { sed -E 's/ [0-9]+:[0-9-]+ .*//' <<<"$hint"; }
passage() { [[ "$hint" == *"World English Bible" && "$hint" =~ \ [0-9]+:[0-9] ]]; }
kept_passage() { passage && grep -qxF "$(book_of)" <<<"$online_books"; }
all_kept_whole() {
  local kept=("$books"/*/*.json) file
  for file in "${kept[@]}"; do cmp -s "$file" "$content/${file#"$books"/}" || return 1; done
  echo "  ${#kept[@]} kept books, each equal to the served file" && [ ${#kept[@]} -gt 0 ]
}
new_temporary() {  # made since the mark; test builtins only, so polling it is quick
  local file
  for file in "$books"/*/*.tmp; do [[ "$file" -nt "$WINEPREFIX/kill-mark" ]] && return 0; done
  return 1
}
# Until Wine has taken a companion's window and mutex down, a new one takes itself for a second.
restart() {
  [ -n "$companion_pid" ] && ask_companion --quit && wait_companion 30
  until_within 30 eval '[ -z "$(probe window)" ]' && start_companion && until_within 60 window_is 1
}

start_display -screen 0 1920x1080x24 || { echo "FAILED: no X display"; exit 1; }
write_preferences $'DisplaySeconds=600\r\nGapSeconds=0\r\n'
books="$(dirname "$(preferences)")/Books"
rm -rf "$books"

check "the companion starts" restart
for i in 1 2 3; do
  check "online Scripture $i is a passage" eval 'ask && passage'
  online_books+="$(book_of)"$'\n'
done
"$SCROLLWICK_SERVER_CTL" stop
for i in 1 2 3; do
  check "server stopped: Scripture $i is a passage of a book shown before" eval 'ask && kept_passage'
done
rm -rf "$books"
for i in 1 2; do
  check "cache folder removed: Scripture $i is an offline verse" \
    eval 'ask && [[ "$hint" == *"(offline backup)" ]]'
done

"$SCROLLWICK_SERVER_CTL" start
mid_write=0
for i in $(seq 20); do
  restart || echo "  kill $i: the companion did not start"
  touch "$WINEPREFIX/kill-mark"
  if ((i % 2)); then  # the moment a new temporary file appears, or at most 10 s later
    ask_companion &
    deadline=$((SECONDS + 10))
    until new_temporary || ((SECONDS >= deadline)); do :; done
  else  # a random moment of the download, once the ask is delivered
    ask_companion
    sleep "0.$((RANDOM % 6))"
  fi
  kill -9 "$companion_pid"
  wait "$companion_pid"
  companion_pid=""
  wait "$!" 2>/dev/null
  new_temporary && mid_write=$((mid_write + 1))
done 2>/dev/null
echo "  $mid_write of 20 kills left a temporary file behind (killed while writing)"
check "after the kills every kept book is whole" all_kept_whole
check "the companion starts after the kills" restart
check "a download after the kills is a passage" eval 'ask && passage'
check "it removed the temporary files the kills left" test -z "$(find "$books" -name '*.tmp')"
"$SCROLLWICK_SERVER_CTL" stop
check "server stopped after the kills: a passage" eval 'ask && passage'

finish "book cache"
