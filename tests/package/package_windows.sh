#!/usr/bin/env bash
# Tests of the Windows artefacts as a user gets them: the portable zip, and the installer under
# Wine in a fresh private prefix on a private virtual display: /S installs the program, its
# shortcut, its Uninstall key and a settings folder every account may change; the installed
# program shows its window and writes its settings file; while it runs, neither the installer
# nor the uninstaller changes anything; a reinstall into another folder leaves one installation;
# the silent uninstaller removes program, shortcut and key and keeps the settings file. Nor do
# they while another process holds a program file; a certificate made here signs the three
# programs; the installer is DPI-aware and shows the generator's picture.
# Usage: tests/package/package_windows.sh [DIST_DIR [PACKAGE_BUILD_DIR]] (what ./package.sh
# writes and builds in: ${DERADU_DIST:-dist} and build-package), or ctest --preset package.
# Prints "N passed, N failed"; exits non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/support/lib.sh
source "$root/tests/support/lib.sh"
# shellcheck source=tests/wine/wine_runner.sh
source "$root/tests/wine/wine_runner.sh"
dist=$(cd "${1:-${DERADU_DIST:-$root/dist}}" 2>/dev/null && pwd) ||
  fatal "./package.sh wrote ${1:-${DERADU_DIST:-$root/dist}}"
build=$(cd "${2:-$root/build-package}" 2>/dev/null && pwd) ||
  fatal "./package.sh built in ${2:-$root/build-package}"
wine_runner "$0" "$build/wine-tools" 900 "$dist" "$build"

begin_script package_windows
[ -f "$build/win32/packaging/release.env" ] ||
  fatal "./package.sh has built the release" "no $build/win32/packaging/release.env"
# shellcheck source=/dev/null
source "$build/win32/packaging/release.env"
built_exe="$build/win32/deradu.exe"
zip="$dist/deradu-$version-win32.zip"
top="deradu-$version"
setup="$dist/deradu-$version-setup.exe"

# ---------------------------------------------------------------------------------------------
echo "== The portable zip"
texts="LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt NEWS.txt"
check "it holds one folder $top/ with the program and the texts" \
  "$top/ $top/deradu.exe $(printf "$top/%s " $texts | sed 's/ $//')" \
  "$(unzip -Z1 "$zip" 2>&1 | joined)"
# A program's bytes without its signature, if it has one (./package.sh given a certificate).
as_built() {
  if osslsigncode remove-signature -in "$1" -out "$work/as-built.exe" >/dev/null 2>&1; then
    cat "$work/as-built.exe" && rm "$work/as-built.exe"
  else cat "$1"; fi
}
unzip -p "$zip" "$top/deradu.exe" >"$work/zip.exe"
check_that "its deradu.exe is the one built" cmp <(as_built "$work/zip.exe") "$built_exe"
for text in $texts; do
  check "every line of $text ends in CR LF" "0 lines without" \
    "$(unzip -p "$zip" "$top/$text" | grep -c -v $'\r$') lines without"
done
# The players' read-me, written from the facts at configure time, not the developers' README.md.
unzip -p "$zip" "$top/README.txt" >"$work/README.txt"
check_that "its README.txt is the players' one, which names the settings file" \
  grep -q 'revAziriv\.ini' "$work/README.txt"
check_that "and the one configured" cmp "$work/README.txt" "$build/win32/packaging/README.txt"
check "the notices carry the threads library's licence and the GCC runtime exception" "2" \
  "$(unzip -p "$zip" "$top/THIRD-PARTY-NOTICES.txt" |
    grep -c -e 'MinGW-w64 winpthreads' -e '^GCC RUNTIME LIBRARY EXCEPTION')"
check "the news has the release's entry" "1" \
  "$(unzip -p "$zip" "$top/NEWS.txt" | grep -c "^$product_name $version ")"
check "the program carries no symbols and no debug information" "no symbols, 0 debug sections" \
  "$(i686-w64-mingw32-objdump -t "$built_exe" | grep -o 'no symbols' | head -n 1), $(
    i686-w64-mingw32-objdump -h "$built_exe" | grep -c ' \.debug') debug sections"
check "the program names itself in its version information" \
  "CompanyName=$publisher FileVersion=$version OriginalFilename=deradu.exe ProductName=$product_name ProductVersion=$version" \
  "$(strings -el -n 3 "$built_exe" | grep -A1 -xE 'CompanyName|FileVersion|OriginalFilename|ProductName|ProductVersion' |
    grep -v '^--$' | paste -d= - - | joined)"
check "its manifest asks for no elevation" 1 "$(grep -c 'level="asInvoker"' <(strings "$built_exe"))"
check "its header carries no link time" "0" \
  "$(i686-w64-mingw32-objdump -p "$built_exe" | awk '/^Time\/Date/ { print ($2 == "Thu" && $6 == 1970) ? 0 : $0 }')"

check "the installer declares DPI awareness" 1 "$(strings "$setup" | grep -c 'true</dpiAware>')"
# The pages' picture lies in the installer's LZMA stream, which starts after the 28 bytes of
# NSIS's first header (signature 0xDEADBEEF "NullsoftInst" at 4, on a 512-byte boundary).
check "its welcome and finish pages show the picture the artwork generator drew" yes \
  "$(python3 - "$setup" "$root/res/installer-page.bmp" <<'EOF_PY'
import lzma, sys
exe, picture = (open(name, "rb").read() for name in sys.argv[1:])
at = next(at for at in range(0, len(exe), 512) if exe[at + 4:at + 20] == b"\xef\xbe\xad\xdeNullsoftInst")
props, dictionary = exe[at + 28], int.from_bytes(exe[at + 29:at + 33], "little")
lzma1 = {"id": lzma.FILTER_LZMA1, "dict_size": dictionary,
         "lc": props % 9, "lp": props // 9 % 5, "pb": props // 45}
data = lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=[lzma1]).decompress(exe[at + 33:])
print("yes" if picture in data else "no")
EOF_PY
)"

# ---------------------------------------------------------------------------------------------
echo "== Signed with a certificate made here"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=$publisher test" -days 2 \
  -keyout "$work/sign.key" -out "$work/sign.pem" >/dev/null 2>&1 || fatal "openssl makes a certificate"
# A fixed signing time, as ./package.sh gives it.
export DERADU_SIGN_CERT=$work/sign.pem DERADU_SIGN_KEY=$work/sign.key SOURCE_DATE_EPOCH=1700000000
payload="$work/signed/$top"
mkdir -p "$work/signed" && cp -r "$build/win32-payload/$top" "$work/signed/" &&
  cp "$built_exe" "$payload/deradu.exe"
"$root/packaging/windows/sign.sh" "$product_name" "$homepage" "$payload/deradu.exe"
"$root/packaging/windows/installer.sh" "$build/win32/packaging/release.env" "$payload" \
  "$work/signed-setup.exe" || fatal "the signed installer is built"
unset DERADU_SIGN_CERT DERADU_SIGN_KEY SOURCE_DATE_EPOCH
check_that "deradu.exe without its signature is the unsigned build" \
  cmp <(as_built "$payload/deradu.exe") "$built_exe"
# Verified against the certificate; signed at the time given, so a signed build is reproducible.
verified() {
  osslsigncode verify -CAfile "$work/sign.pem" -in "$1" 2>&1 |
    awk '/Signing time:/ { sub(/.*: /, ""); time = $0 } /^Succeeded/ { print "verified, " time }'
}

# ---------------------------------------------------------------------------------------------
echo "== The installer under Wine"
start_virtual_display "$work" || fatal "the virtual display starts"
# A fresh prefix of this run's own; large, so it goes even when the logs stay.
wine_prefix "$work/prefix" "$work/home" || fatal "Wine's prefix is made"
at_cleanup "rm -rf '$work/prefix'"

drive="$WINEPREFIX/drive_c"
settings=$(settings_file "$drive")
folder="$drive/Program Files/$product_name"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/$product_name.lnk"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"
# "name=value" for each value of the Uninstall key, sorted; empty when the key is missing.
key_values() {
  wine reg query "$key" 2>/dev/null | tr -d '\r' |
    awk '$2 ~ /^REG_/ { name = $1; $1 = ""; $2 = ""; sub(/^ +/, ""); print name "=" $0 }' | sort
}

installed_files="LICENSE.txt NEWS.txt README.txt THIRD-PARTY-NOTICES.txt deradu.exe uninstall.exe"
listing() { ls "$1" 2>/dev/null | LC_ALL=C sort | joined; }
exists() { [ -e "$1" ] && echo yes || echo no; }
# Runs a Windows program for at most `wait_seconds`, its output in <work>/LOG; sets `status`.
run_wine() { # log, program, arguments...
  local log=$1
  shift
  status=0
  timeout "$wait_seconds" wine "$@" >"$work/$log" 2>&1 || status=$?
}

# Wine keeps no access lists on files (it derives one from the Unix mode bits when asked), so
# what the installer asks of Windows is read from Wine's trace of the calls instead.
WINEDEBUG=-all,trace+advapi,trace+security run_wine setup.log "$setup" /S
check "/S installs silently and succeeds" 0 "$status"
check "the program, the texts and the uninstaller are in Program Files\\$product_name" \
  "$installed_files" "$(listing "$folder")"
check_that "the installed deradu.exe is the one built" cmp <(as_built "$folder/deradu.exe") "$built_exe"
check "the installer shows the icon drawn for 256 pixels, as the desktop's" yes \
  "$(python3 -c 'import sys; print("yes" if open(sys.argv[2], "rb").read() in open(sys.argv[1], "rb").read() else "no")' \
    "$setup" "$root/res/icon-256.png")"
check "the Start menu has a shortcut to it" yes \
  "$([ -f "$shortcut" ] && grep -aq 'deradu.exe' "$shortcut" && echo yes)"
values=$(key_values)
for expected in "DisplayName=$product_name" "DisplayVersion=$version" "Publisher=$publisher" \
  "DisplayIcon=C:\\Program Files\\$product_name\\deradu.exe,0" \
  "UninstallString=\"C:\\Program Files\\$product_name\\uninstall.exe\"" \
  "NoModify=0x1" "NoRepair=0x1"; do
  check "the Uninstall key has ${expected%%=*}" "$expected" "$(grep -F -x -- "$expected" <<<"$values")"
done
check "it makes the settings folder" yes "$(exists "$(dirname "$settings")")"
check "and lets the local Users group change it and what it holds (inherited)" \
  'L"D:AI(A;OICI;0x1301bf;;;BU)" L"C:\\ProgramData\\qor\\revaziriv" 536870916' \
  "$(grep -o -e 'ConvertStringSecurityDescriptorToSecurityDescriptorW L"[^"]*"' \
    -e 'SetNamedSecurityInfoW L"[^"]*" 1 [0-9]*' "$work/setup.log" |
    sed 's/^[A-Za-z]* //; s/ 1 / /' | joined)"

# Into another folder: the first installation goes (its uninstaller keeps the settings folder);
# later reinstalls go to the folder the key names. NSIS takes /D= unquoted, which Wine cannot
# pass with a space in it.
other_name="Games\\Deradu"
other="$drive/Games/Deradu"
run_wine setup-other.log "$setup" /S "/D=C:\\$other_name"
check "/S /D= into another folder succeeds" 0 "$status"
check "the program is in the new folder" "$installed_files" "$(listing "$other")"
check "the first installation is gone, the settings folder stays" "no yes" \
  "$(exists "$folder") $(exists "$(dirname "$settings")")"
check "the key names the new folder" "InstallLocation=C:\\$other_name" \
  "$(key_values | grep '^InstallLocation=')"
check "the shortcut leads to the new folder" yes \
  "$(grep -aq 'Games' "$shortcut" 2>/dev/null && echo yes)"
rm -f "$other/NEWS.txt"
run_wine setup-same.log "$setup" /S
check "/S without /D reinstalls into the folder the key names" "0 $installed_files no" \
  "$status $(listing "$other") $(exists "$folder")"
folder=$other

# While something holds the program, nothing may change. Two marks the installer would put
# back: the licence, which it writes before the later files, and the key's DisplayVersion.
nothing_changes_while() { # what holds it, the logs' tag
  rm -f "$folder/LICENSE.txt"
  wine reg delete "$key" /v DisplayVersion /f >/dev/null 2>&1
  state() { listing "$folder"; key_values; exists "$shortcut"; }
  local before
  before=$(state)
  run_wine "setup-$2.log" "$setup" /S
  check "/S while $1 fails with exit code 2" 2 "$status"
  check "and changes nothing" "$before" "$(state)"
  # The uninstaller hands over to a copy of itself in the temporary folder and ends at once;
  # run in place (_?=) it reports its own exit code.
  run_wine "un-$2.log" "C:\\$other_name\\uninstall.exe" /S "_?=C:\\$other_name"
  check "the uninstaller while $1 fails with exit code 2" 2 "$status"
  run_wine "un-$2-copy.log" "C:\\$other_name\\uninstall.exe" /S
  # Its copy's end: nothing of the uninstaller left running.
  uninstaller_ended() { ! pgrep -f 'Temp.*Un\.exe' >/dev/null; }
  wait_until uninstaller_ended
  check "neither it nor its copy changes anything" "$before" "$(state)"
}

# Held by a process with no game window here (the game in another account's session, a virus
# scanner): open, shared with nobody.
cat >"$work/hold.c" <<'EOF_C'
#include <stdio.h>
#include <windows.h>
int main(int argc, char** argv) {
  if (argc != 2 || CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) ==
                       INVALID_HANDLE_VALUE) return 1;
  puts("held");
  fflush(stdout);
  Sleep(INFINITE);
}
EOF_C
i686-w64-mingw32-gcc -o "$work/hold.exe" "$work/hold.c" || fatal "the holding program is built"
for held in deradu.exe README.txt; do
  wine "$work/hold.exe" "C:\\$other_name\\$held" >"$work/hold.out" 2>&1 &
  holder=$!
  started "$holder"
  wait_until grep -q held "$work/hold.out" || fatal "a process holds $held" "$(cat "$work/hold.out")"
  nothing_changes_while "another process holds $held" "held-$held"
  kill "$holder"
  wait "$holder" 2>/dev/null
done

rm -f "$settings"
wine "C:\\$other_name\\deradu.exe" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
started "$game_pid"
if window=$(wait_window - "Qor Deradu 1.0" "$wait_seconds" "$game_pid"); then
  pass "the installed program shows its window"

  nothing_changes_while "the game runs" running
  xdotool key --window "$window" alt+F4 2>/dev/null
  wait_exit "$game_pid"
  check "it ends with exit code 1 when closed" 1 "$status"
else
  fail "the installed program shows its window" "$(tail -n 3 "$work/game.err")"
fi
check_that "it wrote its settings file" test -s "$settings"
cp "$settings" "$work/settings-before" 2>/dev/null

run_wine setup-again.log "$setup" /S
check "once the game has ended, /S succeeds and puts the missing pieces back" \
  "0 $installed_files DisplayVersion=$version" \
  "$status $(listing "$folder") $(key_values | grep '^DisplayVersion=')"

run_wine uninstall.log "C:\\$other_name\\uninstall.exe" /S
check "the silent uninstaller starts" 0 "$status"
# The uninstaller runs on from a copy of itself in the temporary folder, so it has not finished
# when the command returns.
uninstalled() { [ ! -e "$folder" ] && [ ! -e "$shortcut" ]; }
wait_until uninstalled
check "it removes the program's folder" no "$(exists "$folder")"
check "it removes the shortcut" no "$(exists "$shortcut")"
check "it removes the Uninstall key" "" "$(key_values)"
check_that "it keeps the player's settings file as it was" cmp "$settings" "$work/settings-before"

# The signed build, installed and removed in place.
run_wine signed.log "$work/signed-setup.exe" /S "/D=C:\\Signed"
for file in "$payload/deradu.exe" "$work/signed-setup.exe" "$drive/Signed/uninstall.exe"; do
  check "$(basename "$file") carries a signature that verifies" \
    "verified, Nov 14 22:13:20 2023 GMT" "$(verified "$file")"
done
run_wine signed-un.log "$drive/Signed/uninstall.exe" /S "_?=C:\\Signed"
check "run in place, the uninstaller leaves only itself, which README.md's commands remove" \
  "0 uninstall.exe no" "$status $(listing "$drive/Signed") $(
    wine cmd /c 'del C:\Signed\uninstall.exe && rmdir C:\Signed' >/dev/null 2>&1
    exists "$drive/Signed")"

wine_elapsed
finish
