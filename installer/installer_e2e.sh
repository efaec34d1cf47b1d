#!/usr/bin/env bash
# The release under Wine, in a fresh prefix and on an X display of its own:
# - DLLs planted in a download folder beside the program and the setup program are never loaded,
#   while Wine is told to prefer a DLL found there over its own, as Windows' search of a
#   program's folder does (a program without the protection shows that this emulation works);
# - a silent install puts the program, its shortcut and its Uninstall entry in place, and the
#   installed program passes its self-test;
# - installing over a running companion closes it first;
# - a silent uninstall removes all that and the Run value, and keeps the preferences.
#
#   installer_e2e.sh BIN_DIR SETUP_EXE VERSION PREFIX
set -u
# Without a network the companion's one request fails at once and it shows an offline verse; no
# traffic leaves the machine.
if [ -z "${SCROLLWICK_NO_NETWORK:-}" ]; then
  SCROLLWICK_NO_NETWORK=1 exec unshare -n "$0" "$@"
fi
setup=$(readlink -f "$2")
version=$3
rm -rf "$4"
# shellcheck source=../tests/e2e/wine_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/wine_session.sh" "$1" "$4" "$4/screenshots"
# Shortcuts must not turn into menu entries of the machine running the test.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# The program's own imports that are not among Windows' known DLLs, and DLLs that setup programs
# are known to load by name. Not comctl32, uxtheme or version: Wine's own shell32, comctl32 and
# user32 import those as a program starts, and with a native-first override Wine looks for a
# system DLL's imports in the program's folder too, which Windows does not do for its known DLLs.
planted=(gdiplus winhttp wtsapi32 dwmapi cryptbase userenv)
native_first="$WINEDLLOVERRIDES;$(IFS=,; echo "${planted[*]}")=n,b"
downloads="$WINEPREFIX/drive_c/Downloads"
profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
windows_profile="C:\\users\\$(basename "$profile")"
install_dir="$profile/AppData/Local/Programs/Scrollwick Companion"
installed_program="$windows_profile\\AppData\\Local\\Programs\\Scrollwick Companion\\ScrollwickCompanion.exe"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Scrollwick Companion.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\ScrollwickCompanion'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
logs="$WINEPREFIX/logs"
mkdir -p "$downloads" "$logs"
for name in "${planted[@]}"; do cp "$bin/planted.dll" "$downloads/$name.dll"; done

markers() { find "$downloads" -iname '*.loaded' -printf '%f ' | sed 's/ $//'; }
no_markers() { [ -z "$(markers)" ]; }
registry() { "$wine" reg query "$@" 2>/dev/null | tr -d '\r'; }
reg_value() {  # KEY NAME: the value's data, empty when there is none
  registry "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
no_key() { ! "$wine" reg query "$1" >/dev/null 2>&1; }
# builtin_from_system32 LOG NAMES...: each named DLL was loaded, and from System32.
builtin_from_system32() {
  local log=$1 name
  shift
  for name in "$@"; do
    grep -iF "system32\\\\$name.dll\"" "$log" | grep -q builtin || return 1
  done
}
run_setup() {  # [ENVIRONMENT...]: the setup program from the download folder, silently
  env "$@" timeout 120 "$wine" "$downloads/ScrollwickCompanion-Setup.exe" /S >/dev/null 2>&1
}

start_display -screen 0 1280x1024x24 || { echo "FAILED: no X display"; exit 1; }

echo "=== DLLs planted in the download folder"
# The control: a program that loads version.dll at start and sets no search order takes the one
# planted beside it.
cp "$bin/companion_version_resource_test.exe" "$downloads/unprotected.exe"
cp "$bin/planted.dll" "$downloads/version.dll"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;version=n,b" timeout 30 "$wine" "$downloads/unprotected.exe" \
  >/dev/null 2>&1
check "a program without the protection loads a planted DLL ($(markers))" \
  test -n "$(find "$downloads" -iname version.dll.loaded)"
rm -f "$downloads/version.dll" "$downloads"/*.loaded

cp "$bin/ScrollwickCompanion.exe" "$downloads/"
WINEDLLOVERRIDES="$native_first" WINEDEBUG=+loaddll \
  "$wine" "$downloads/ScrollwickCompanion.exe" --preview >/dev/null 2>"$logs/companion.txt" &
companion_pid=$!
check "the companion started from there shows a Scripture" until_within 60 bubble_is 1
"$wine" "$bin/ScrollwickCompanion.exe" --quit
check "and closes on --quit" wait_companion 30
check "it took GDI+, WinHTTP and wtsapi32 from System32" \
  builtin_from_system32 "$logs/companion.txt" gdiplus winhttp wtsapi32
check "it loaded no planted DLL ($(markers))" no_markers

cp "$setup" "$downloads/ScrollwickCompanion-Setup.exe"
run_setup WINEDLLOVERRIDES="$native_first"
setup_code=$?
check "the setup program loaded no planted DLL ($(markers))" no_markers

echo "=== silent install"
check "the silent install succeeds (exit code $setup_code)" test "$setup_code" -eq 0
check "the program is in the user's local programs folder" \
  test -f "$install_dir/ScrollwickCompanion.exe" -a -f "$install_dir/uninstall.exe"
check "the Start menu has its shortcut" test -f "$shortcut"
entry=$(registry "$uninstall_key")
for expected in "DisplayName REG_SZ Scrollwick Companion" "DisplayVersion REG_SZ $version" \
  "Publisher REG_SZ Scrollwick" "DisplayIcon REG_SZ \"$installed_program\",0" \
  "QuietUninstallString REG_SZ \"${installed_program%\\*}\\uninstall.exe\" /S" \
  "NoModify REG_DWORD 0x1"; do
  check "the Uninstall entry has $expected" grep -qxF "$expected" <<<"$(tr -s ' ' <<<"$entry" | sed 's/^ //')"
done
check "the Uninstall entry gives the size" grep -Eq "EstimatedSize +REG_DWORD +0x[0-9a-f]*[1-9a-f]" <<<"$entry"
self_test_dir=$(mktemp -d)
(cd "$self_test_dir" && timeout 120 "$wine" "$install_dir/ScrollwickCompanion.exe" --self-test >/dev/null 2>&1)
self_test_code=$?
check "the installed program passes its self-test (exit code $self_test_code)" test "$self_test_code" -eq 0
rm -rf "$self_test_dir"

echo "=== installing over a running companion"
write_preferences "DisplaySeconds=30"$'\r\n'
"$wine" "$install_dir/ScrollwickCompanion.exe" >/dev/null 2>&1 &
companion_pid=$!
check "the installed companion runs" until_within 60 window_is 1
# What "Start with Windows" writes.
"$wine" reg add "$run_key" /v ScrollwickCompanion /t REG_SZ /d "\"$installed_program\"" /f >/dev/null 2>&1
check "its Run value is set" test "$(reg_value "$run_key" ScrollwickCompanion)" = "\"$installed_program\""
run_setup
setup_code=$?
check "installing again succeeds (exit code $setup_code)" test "$setup_code" -eq 0
check "and closed the running companion first, which ended normally" \
  eval 'wait_companion 5 && [ "$companion_code" = 0 ]'

echo "=== silent uninstall"
"$wine" "$install_dir/uninstall.exe" /S >/dev/null 2>&1
check "it removes the program folder" until_within 60 test ! -e "$install_dir"
check "the shortcut" test ! -e "$shortcut"
check "the Uninstall entry" until_within 10 no_key "$uninstall_key"
check "and the Run value" test -z "$(reg_value "$run_key" ScrollwickCompanion)"
check "it keeps the preferences" test -n "$(preferences)"

finish "installer"
