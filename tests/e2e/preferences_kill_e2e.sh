#!/usr/bin/env bash
# Crash-consistent preferences: a program that saves through the companion's own SavePreferences
# in a loop is killed (SIGKILL, as a crash or power cut ends a process) at a random moment, KILLS
# times. After each kill preferences.ini must be a complete file, the one before or a newer one,
# and the next start must load exactly what it holds.
#
#   preferences_kill_e2e.sh BIN_DIR PREFIX SCREENSHOT_DIR [KILLS]
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine_session.sh
source "$here/wine_session.sh"
kills=${4:-40}
keys="[Companion],Version,DisplaySeconds,GapSeconds,Translation,SizeMultiple,YoungerPreview"
keys+=",ScripturesViewed,Category,PromptMinutes,Movement,Paused,FreePlacement,PositionX"
keys+=",PositionY,Monitor"
out=$(mktemp /tmp/scrollwick-kill.XXXXXX)
errors=$(mktemp /tmp/scrollwick-kill-errors.XXXXXX)
trap 'stop_all; rm -f "$out" "$errors"' EXIT

write_preferences $'PositionX=0\r\n'
last=0 complete=0 same=0 newer=0 bad=0
for round in $(seq "$kills"); do
  : >"$out"  # here, not in the child, which may truncate it only after the wait below began
  WINEDEBUG=err+all "$wine" "$bin/save_preferences_loop.exe" >>"$out" 2>"$errors" &
  pid=$!
  if ! until_within 30 test -s "$out"; then
    # Whether it ended or hangs, and what Wine said, tell a failed start from a slow one.
    state=$(kill -0 "$pid" 2>/dev/null && echo "still running" || echo "ended")
    echo "round $round: the saver did not start ($state); it said:"
    tail -5 "$errors"
  fi
  loaded=$(head -1 "$out" | tr -d '\r')
  if [ "$loaded" != "$last" ]; then
    echo "round $round: the start loaded $loaded, the file held $last"
    bad=$((bad + 1))
  fi
  sleep "0.$(printf '%03d' $((RANDOM % 400)))"
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  file=$(preferences)
  value=$(preference PositionX)
  if [ "$(tr -d '\r' <"$file" | cut -d= -f1 | paste -sd,)" = "$keys" ] &&
    [[ "$value" =~ ^[0-9]+$ ]] && [ "$value" -ge "$last" ]; then
    complete=$((complete + 1))
    if [ "$value" = "$last" ]; then same=$((same + 1)); else newer=$((newer + 1)); fi
    last=$value
  else
    echo "round $round: an incomplete file:"
    od -c "$file" | head -5
    bad=$((bad + 1))
  fi
done
echo "kills: $kills; complete files: $complete (the one before: $same, a newer one: $newer);" \
  "incomplete or not loaded: $bad; saves completed in all: $last"
check "every kill left a complete file that the next start loaded" test "$bad" -eq 0
check "the saver was killed mid-run, not before its first save" test "$newer" -gt 0
finish preferences-kill
