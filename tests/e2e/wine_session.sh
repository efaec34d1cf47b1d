# shellcheck shell=bash
# Sourced by the real-pointer scripts: a Wine prefix and an X display of their own, the probe that
# reads what only Windows knows, and checks that count failures instead of stopping the run.
#
#   source wine_session.sh BIN_DIR PREFIX SCREENSHOT_DIR
#
# Programs are started with plain `wine`, never through `explorer /desktop=...`: with the virtual
# desktop switched on in the prefix's registry every program joins the one desktop, so a probe can
# never race the companion to create a desktop of its own, and `wait` returns a program's own
# exit code.
set -u
bin=$(cd "$1" && pwd)
mkdir -p "$2" "$3"
export WINEPREFIX=$(cd "$2" && pwd)
shots=$(cd "$3" && pwd)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)

failures=0
xvfb_pid=""
companion_pid=""

check() {  # DESCRIPTION COMMAND...: runs the command and reports it; a failure is counted
  local description=$1
  shift
  if "$@"; then
    echo "ok: $description"
  else
    echo "FAILED: $description"
    failures=$((failures + 1))
  fi
}

finish() {  # NAME: prints the count of failures and ends the script with its verdict
  stop_all
  echo "$1 tests: $failures failed"
  [ "$failures" -eq 0 ]
  exit
}

stop_all() {
  [ -n "$companion_pid" ] && kill "$companion_pid" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  companion_pid=""
  xvfb_pid=""
}
trap stop_all EXIT

# start_display XVFB_ARGUMENTS...: a display of our own for one scenario.
start_display() {
  # Xvfb picks a free display number itself, so parallel runs never share one.
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -nolisten tcp "$@" 3>"$number_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ -s "$number_file" ]; then
      export DISPLAY=":$(head -n 1 "$number_file")"
      rm -f "$number_file"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  return 1
}

# virtual_desktop on|off: whether programs run in Wine's virtual desktop "shell" (1920 x 1080,
# with a taskbar and a notification area) or straight on the X screens.
virtual_desktop() {
  if [ "$1" = on ]; then
    "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1920x1080 /f >/dev/null 2>&1
  else
    "$wine" reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  fi
  wineserver -w
}

start_companion() {  # the companion in the background, its pid in companion_pid
  "$wine" "$bin/ScrollwickCompanion.exe" >/dev/null 2>&1 &
  companion_pid=$!
}

# wait_companion SECONDS: true once the companion has ended, its exit code then in companion_code.
wait_companion() {
  companion_code="none, still running"
  until_within "$1" eval '! kill -0 "$companion_pid" 2>/dev/null' || return 1
  wait "$companion_pid"
  companion_code=$?
  companion_pid=""
}

# A probe that hangs gives up, so one stuck Wine start cannot hold the whole run.
probe() { timeout 30 "$wine" "$bin/companion_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# until_within SECONDS COMMAND...: true as soon as the command succeeds, false once SECONDS have
# passed. The limit is wall time, so a slow probe does not stretch it.
until_within() {
  local deadline=$((SECONDS + $1))
  shift
  while :; do
    "$@" && return 0
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.2
  done
}

answer_is() {  # EXPECTED PROBE_ARGUMENTS...
  local expected=$1
  shift
  [ "$(probe "$@")" = "$expected" ]
}

# Reads the companion window into left, top, right, bottom and visible.
read_window() { read -r left top right bottom visible _ <<<"$(probe window)"; }
window_is() { read_window && [ "${visible:-}" = "$1" ]; }
bubble_is() {
  local shown
  read -r shown _ <<<"$(probe bubble)"
  [ "${shown:-}" = "$1" ]
}

# A right-click on the middle of the figure with the real pointer; true once the menu is shown.
open_menu() {
  read_window
  xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2))
  sleep 0.3
  xdotool click 3
  until_within 10 answer_is 1 menu
}

choose() {  # KEYS...: walk the open menu and press them in turn; true once the menu has closed
  for key in "$@"; do
    xdotool key "$key"
    sleep 0.2
  done
  until_within 10 answer_is 0 menu
}

preferences() {
  find "$WINEPREFIX/drive_c/users" -path '*/Scrollwick/Companion/preferences.ini' 2>/dev/null |
    head -1
}

write_preferences() {  # LINES: a preferences file holding only these lines
  local folder
  folder=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -type d -path '*/AppData/Local' | head -1)
  mkdir -p "$folder/Scrollwick/Companion"
  printf '[Companion]\r\nVersion=6\r\n%s' "$1" >"$folder/Scrollwick/Companion/preferences.ini"
}

preference() { tr -d '\r' 2>/dev/null <"$(preferences)" | sed -n "s/^$1=//p"; }

# The prefix exists before the first scenario (the first run of Wine creates it).
[ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1; wineserver -w; }
