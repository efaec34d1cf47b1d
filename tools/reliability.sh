#!/usr/bin/env bash
# The long forms of the reliability runs that CI runs short (ctest -L reliability):
#
#   tools/reliability.sh soak [MINUTES]   the soak, 30 minutes by default, its curve printed
#   tools/reliability.sh kills [KILLS]    the save loop killed 200 times by default
#
# Both need the Windows build (cmake --build --preset windows) and run on a display of their own.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/windows"
case "${1:-}" in
  soak) exec "$root/tests/e2e/soak_e2e.sh" "$build/bin" "$build/wineprefix-soak" \
    "$build/screenshots" $((${2:-30} * 60)) ;;
  kills) exec "$root/tests/e2e/preferences_kill_e2e.sh" "$build/bin" "$build/wineprefix-kill" \
    "$build/screenshots" "${2:-200}" ;;
  *) sed -n '2,7p' "$0" >&2; exit 64 ;;
esac
