#!/usr/bin/env bash
# Tests of the Windows artefacts as a user gets them: the portable zip, and the installer under
# Wine in a fresh private prefix on a private virtual display: /S installs the program, its
# shortcut and its Uninstall key; the installed program shows its window and writes its settings
# file; the silent uninstaller removes program, shortcut and key and keeps the settings file.
# Usage: tests/e2e/package_windows.sh DIST_DIR PACKAGE_BUILD_DIR (what ./package.sh writes and
# builds in). Prints "N passed, N failed"; exits non-zero on a failure.
set -uo pipefail

if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -f "$2/win32/packaging/release.env" ]; then
  echo "usage: $0 DIST_DIR PACKAGE_BUILD_DIR" >&2
  exit 2
fi
dist=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=tests/e2e/wine_runner.sh
source "$here/wine_runner.sh"
wine_runner "$0" "$build/wine-tools" 900 "$dist" "$build"

# shellcheck source=/dev/null
source "$build/win32/packaging/release.env"
built_exe="$build/win32/deradu.exe"
zip="$dist/deradu-$version-win32.zip"
setup="$dist/deradu-$version-setup.exe"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-setup.XXXXXX")
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null
  stop_virtual_display
  # The prefix is large and only this run's; the logs stay when something failed.
  rm -rf "$work/prefix"
  if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "Logs kept in $work"; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# ---------------------------------------------------------------------------------------------
echo "== The portable zip"
check "it holds exactly the program, the licence and the read-me" \
  "deradu.exe LICENSE.txt README.txt" "$(unzip -Z1 "$zip" 2>&1 | tr '\n' ' ' | sed 's/ $//')"
if unzip -p "$zip" deradu.exe | cmp -s - "$built_exe"; then
  pass "its deradu.exe is the one built"; else fail "its deradu.exe is the one built"; fi
for text in LICENSE.txt README.txt; do
  check "every line of $text ends in CR LF" "0 lines without" \
    "$(unzip -p "$zip" "$text" | grep -c -v $'\r$') lines without"
done
# The players' read-me, written from the facts at configure time, not the developers' README.md.
if unzip -p "$zip" README.txt | cmp -s - "$build/win32/packaging/README.txt" &&
  unzip -p "$zip" README.txt | grep -q 'revAziriv\.ini'; then
  pass "its README.txt is the players' one"; else fail "its README.txt is the players' one"; fi
check "the program names itself in its version information" \
  "CompanyName=$publisher FileVersion=$version OriginalFilename=deradu.exe ProductName=$product_name ProductVersion=$version" \
  "$(strings -el -n 3 "$built_exe" | grep -A1 -xE 'CompanyName|FileVersion|OriginalFilename|ProductName|ProductVersion' |
    grep -v '^--$' | paste -d= - - | tr '\n' ' ' | sed 's/ $//')"
check "its manifest asks for no elevation" 1 "$(grep -c 'level="asInvoker"' <(strings "$built_exe"))"
check "its header carries no link time" "0" \
  "$(i686-w64-mingw32-objdump -p "$built_exe" | awk '/^Time\/Date/ { print ($2 == "Thu" && $6 == 1970) ? 0 : $0 }')"

# ---------------------------------------------------------------------------------------------
echo "== The installer under Wine"
wine_environment "$work/prefix" "$work/home"
start_virtual_display "$work" || fatal "the virtual display starts"
if ! timeout 600 wine wineboot --init >"$work/wineboot.log" 2>&1 || ! timeout 300 wineserver -w; then
  fail "Wine's prefix is created" "$(tail -n 5 "$work/wineboot.log")"
  echo "$passed passed, $failed failed"
  exit 1
fi
wineserver -p 30

drive="$WINEPREFIX/drive_c"
folder="$drive/Program Files/$product_name"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$product_name.lnk"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"
settings="$drive/ProgramData/qor/revaziriv/revAziriv.ini"
# "name=value" for each value of the Uninstall key, sorted; empty when the key is missing.
key_values() {
  wine reg query "$key" 2>/dev/null | tr -d '\r' |
    awk '$2 ~ /^REG_/ { name = $1; $1 = ""; $2 = ""; sub(/^ +/, ""); print name "=" $0 }' | sort
}

status=0
timeout 300 wine "$setup" /S >"$work/setup.log" 2>&1 || status=$?
check "/S installs silently and succeeds" 0 "$status"
check "the program, licence, read-me and uninstaller are in Program Files\\$product_name" \
  "LICENSE.txt README.txt deradu.exe uninstall.exe" \
  "$(ls "$folder" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
if cmp -s "$folder/deradu.exe" "$built_exe"; then pass "the installed deradu.exe is the one built"
else fail "the installed deradu.exe is the one built"; fi
check "the Start menu has a shortcut to it" yes \
  "$([ -f "$shortcut" ] && grep -aq 'deradu.exe' "$shortcut" && echo yes)"
values=$(key_values)
for expected in "DisplayName=$product_name" "DisplayVersion=$version" "Publisher=$publisher" \
  "DisplayIcon=C:\\Program Files\\$product_name\\deradu.exe,0" \
  "UninstallString=\"C:\\Program Files\\$product_name\\uninstall.exe\"" \
  "NoModify=0x1" "NoRepair=0x1"; do
  check "the Uninstall key has ${expected%%=*}" "$expected" "$(grep -F -x -- "$expected" <<<"$values")"
done

rm -f "$settings"
timeout 120 wine "C:\\Program Files\\$product_name\\deradu.exe" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Qor Deradu 1\.0$' 2>/dev/null |
  head -n 1)
if [ -n "$window" ]; then
  pass "the installed program shows its window"
  xdotool key --window "$window" alt+F4 2>/dev/null
  for _ in $(seq 300); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  status=running
  if ! kill -0 "$game_pid" 2>/dev/null; then status=0; wait "$game_pid" || status=$?; game_pid=""; fi
  check "it ends with exit code 1 when closed" 1 "$status"
else
  fail "the installed program shows its window" "$(tail -n 3 "$work/game.err")"
fi
if [ -s "$settings" ]; then pass "it wrote its settings file"; else
  fail "it wrote its settings file" "no $settings"; fi
cp "$settings" "$work/settings-before" 2>/dev/null

status=0
timeout 120 wine "C:\\Program Files\\$product_name\\uninstall.exe" /S >"$work/uninstall.log" 2>&1 ||
  status=$?
check "the silent uninstaller starts" 0 "$status"
# The uninstaller runs on from a copy of itself in the temporary folder, so it has not finished
# when the command returns.
for _ in $(seq 600); do
  [ ! -e "$folder" ] && [ ! -e "$shortcut" ] && break
  sleep 0.1
done
check "it removes the program's folder" no "$([ -e "$folder" ] && echo yes || echo no)"
check "it removes the shortcut" no "$([ -e "$shortcut" ] && echo yes || echo no)"
check "it removes the Uninstall key" "" "$(key_values)"
if [ -f "$settings" ] && cmp -s "$settings" "$work/settings-before"; then
  pass "it keeps the player's settings file as it was"
else
  fail "it keeps the player's settings file as it was"
fi

echo "  (everything: $(($(date +%s) - DERADU_WINE_STARTED)) s)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
