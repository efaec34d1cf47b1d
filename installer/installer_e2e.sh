#!/usr/bin/env bash
# The release under Wine, in a fresh prefix, on an X display of its own and with no network:
# DLLs planted in a download folder are never loaded by the program or the setup program, while
# Wine prefers a DLL found there over its own as Windows' search of a program's folder does; a
# silent install, an install over a running companion and a silent uninstall.
#
#   installer_e2e.sh BIN_DIR SETUP_EXE VERSION PREFIX
set -u
if [ -z "${SCROLLWICK_NO_NETWORK:-}" ]; then
  SCROLLWICK_NO_NETWORK=1 exec unshare -n "$0" "$@"
fi
setup=$(readlink -f "$2")
rm -rf "$4"
# shellcheck source=../tests/e2e/wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/wine_session.sh" "$1" "$4" "$4/screenshots"
# Shortcuts must not become menu entries of the machine running the test.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The program's imports that are not among Windows' known DLLs, and DLLs that GDI+ (the imaging
# component) and setup programs load by name. Not comctl32, uxtheme or version: Wine's own shell32, comctl32 and user32 import those as
# any program starts, and Wine then searches the program's folder too, which Windows does not do
# for its known DLLs.
planted=(gdiplus windowscodecs winhttp wtsapi32 dwmapi cryptbase userenv)
native_first="$WINEDLLOVERRIDES;$(IFS=,; echo "${planted[*]}")=n,b"
downloads="$WINEPREFIX/drive_c/Downloads"
profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
install_dir="$profile/AppData/Local/Programs/Scrollwick Companion"
windows_dir="C:\\users\\$(basename "$profile")\\AppData\\Local\\Programs\\Scrollwick Companion"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Scrollwick Companion.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ScrollwickCompanion'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
mkdir -p "$downloads"
for name in "${planted[@]}"; do cp "$bin/planted.dll" "$downloads/$name.dll"; done
cp "$bin/ScrollwickCompanion.exe" "$setup" "$downloads/"

markers() { find "$downloads" -iname '*.loaded' -printf '%f ' | sed 's/ $//'; }
registry() { "$wine" reg query "$@" 2>/dev/null | tr -d '\r' | tr -s ' ' | sed 's/^ //'; }
absent() { ! registry "$@" | grep -q REG_; }  # KEY [/v NAME]: no such value, or no values at all
from_system32() {  # LOG NAMES...: each DLL was loaded, Wine's own from System32
  for name in "${@:2}"; do grep -iF "system32\\\\$name.dll\"" "$1" | grep -q builtin || return 1; done
}
run_setup() {  # [ENVIRONMENT...]: the setup program from the download folder, silently
  env "$@" timeout 120 "$wine" "$downloads/$(basename "$setup")" /S >/dev/null 2>&1
}

start_display -screen 0 1280x1024x24 || { echo "FAILED: no X display"; exit 1; }
echo "=== DLLs planted beside the programs"
# The control: a program that loads version.dll at start and sets no search order.
cp "$bin/companion_version_resource_test.exe" "$downloads/unprotected.exe"
cp "$bin/planted.dll" "$downloads/version.dll"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;version=n,b" timeout 30 "$wine" "$downloads/unprotected.exe" 2>/dev/null
check "a program without the protection loads a planted DLL ($(markers))" test -n "$(markers)"
rm -f "$downloads/version.dll" "$downloads"/*.loaded

WINEDLLOVERRIDES="$native_first" WINEDEBUG=+loaddll \
  "$wine" "$downloads/ScrollwickCompanion.exe" --preview >/dev/null 2>"$WINEPREFIX/loads.txt" &
companion_pid=$!
check "the companion shows a Scripture" until_within 60 bubble_is 1
"$wine" "$bin/ScrollwickCompanion.exe" --quit 2>/dev/null
check "and closes on --quit" wait_companion 30
check "it took GDI+, WinHTTP and wtsapi32 from System32" \
  from_system32 "$WINEPREFIX/loads.txt" gdiplus winhttp wtsapi32
check "it loaded no planted DLL ($(markers))" test -z "$(markers)"
run_setup WINEDLLOVERRIDES="$native_first"
setup_code=$?
check "the setup program loaded none ($(markers))" test -z "$(markers)"

echo "=== silent install"
check "succeeds (exit code $setup_code)" test "$setup_code" -eq 0
check "the program is in the local programs folder" test -f "$install_dir/ScrollwickCompanion.exe"
check "the Start menu has its shortcut" test -f "$shortcut"
entry=$(registry "$uninstall_key")
for expected in "DisplayName REG_SZ Scrollwick Companion" "DisplayVersion REG_SZ $3" \
  "Publisher REG_SZ Scrollwick" "DisplayIcon REG_SZ \"$windows_dir\\ScrollwickCompanion.exe\",0" \
  "QuietUninstallString REG_SZ \"$windows_dir\\uninstall.exe\" /S" "NoModify REG_DWORD 0x1"; do
  check "the Uninstall entry has $expected" grep -qxF "$expected" <<<"$entry"
done
check "and the size" grep -Eq "^EstimatedSize REG_DWORD 0x0*[1-9a-f]" <<<"$entry"
(cd "$(mktemp -d)" && timeout 120 "$wine" "$install_dir/ScrollwickCompanion.exe" --self-test 2>/dev/null)
check "the installed program passes its self-test" test $? -eq 0

echo "=== installing over a running companion"
write_preferences "DisplaySeconds=30"$'\r\n'
"$wine" "$install_dir/ScrollwickCompanion.exe" 2>/dev/null &
companion_pid=$!
check "the installed companion runs" until_within 60 window_is 1
# What its "Start with Windows" writes.
"$wine" reg add "$run_key" /v ScrollwickCompanion /d "\"$windows_dir\\ScrollwickCompanion.exe\"" /f >/dev/null 2>&1
check "its Run value is set" test "$(registry "$run_key" /v ScrollwickCompanion | grep -c REG_SZ)" = 1
run_setup
check "succeeds" test $? -eq 0
check "and closed the companion first, which ended normally" \
  eval 'wait_companion 5 && [ "$companion_code" = 0 ]'

echo "=== silent uninstall"
"$wine" "$install_dir/uninstall.exe" /S 2>/dev/null
check "removes the program folder" until_within 60 test ! -e "$install_dir"
check "the shortcut" test ! -e "$shortcut"
check "the Uninstall entry" until_within 10 absent "$uninstall_key"
check "and the Run value" absent "$run_key" /v ScrollwickCompanion
check "and keeps the preferences" test -n "$(preferences)"
finish "installer"
