# shellcheck shell=bash
# Sourced, in place of wine_session.sh, by the scripts that need the Bible server: runs the
# calling script again inside tools/serve-bible.sh (the maker's hosts on a loopback nginx), then
# sets up the Wine session there. Leaves `here` (this folder) and `root` (the checkout).
#
#   source served_session.sh   (with the caller's BIN_DIR PREFIX SCREENSHOT_DIR [...] arguments)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -z "${SCROLLWICK_SERVER_CTL:-}" ]; then
  exec "$root/tools/serve-bible.sh" run -- "$0" "$@"
fi
# Wine opens sockets in wineserver, so the prefix's wineserver must start inside this namespace.
WINEPREFIX="$2" wineserver -k 2>/dev/null
# shellcheck source=wine_session.sh
source "$here/wine_session.sh"
