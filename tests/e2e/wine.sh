#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine on a private virtual display: the portable
# unit tests built for Windows, then the play-through both programs share (scenario.sh, through
# wine_driver.sh), the end of a Windows session and a read-only settings file, and finally the
# same dealt board in the Linux program, compared pixel for pixel outside the text.
# Usage: tests/e2e/wine.sh BUILD_WIN32_DIR. Prints "N passed, N failed"; exits non-zero on a
# failure. Wine's prefix and the emulator it may need are kept in BUILD_WIN32_DIR between runs.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
  echo "usage: $0 BUILD_WIN32_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

# shellcheck source=tests/e2e/wine_runner.sh
source "$here/wine_runner.sh"
wine_runner "$0" "$build/wine-tools" 1500 "$build"

exe="$build/deradu.exe"
linux_program="$root/build/deradu"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
use_screen_reader "$root"
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-wine.XXXXXX")
game_pid=""

# Runs a command and reports how long it took on the script's own output, whatever the
# command's output is redirected to.
exec 4>&1
timed() { # label, command...
  local label=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  echo "  ($label: $((SECONDS - start)) s)" >&4
  return $status
}

# Wine: a private prefix, no dialogs (Mono, Gecko, the crash debugger), no menu entries written
# into the user's desktop, no traces.
wine_environment "$build/wine-prefix" "$build/wine-home"
# shellcheck source=tests/e2e/wine_driver.sh
source "$here/wine_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$here/scenario.sh"

cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null
  stop_virtual_display
  if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "Screenshots and logs kept in $work"; fi
}
trap cleanup EXIT
# The overall time limit ends the script with SIGTERM; the cleanup runs all the same.
trap 'exit 143' TERM INT

# ---------------------------------------------------------------------------------------------
echo "== Wine ($(wine --version 2>/dev/null), runner: $DERADU_WINE_RUNNER)"

if [ ! -f "$WINEPREFIX/.deradu-ready" ]; then
  prefix_start=$SECONDS
  rm -rf "$WINEPREFIX"
  if timeout 900 wine wineboot --init >"$work/wineboot.log" 2>&1 &&
    timeout 300 wineserver -w && [ -d "$WINEPREFIX/drive_c/ProgramData" ]; then
    date >"$WINEPREFIX/.deradu-ready"
    echo "  (prefix created: $((SECONDS - prefix_start)) s)"
  else
    fail "Wine's prefix is created" "$(tail -n 5 "$work/wineboot.log")"
    echo "$passed passed, $failed failed"
    exit 1
  fi
fi

start_virtual_display "$work" || fatal "the virtual display starts"

# One Wine session for every program run here: its start-up (services, the desktop process) is
# paid once.
wineserver -p 30
timed "Wine session started" timeout 300 wine cmd /c exit 0 >/dev/null 2>&1

# ---------------------------------------------------------------------------------------------
echo "== Unit tests built for Windows"
# The portable core's tests, and the Windows back end's against Wine's USER32 and GDI32 (these
# need the display).
for suite in deradu_core_tests deradu_win32_tests; do
  if [ ! -f "$build/tests/$suite.exe" ]; then
    fail "$suite.exe was built" "no $build/tests/$suite.exe"
    continue
  fi
  status=0
  timed "$suite" timeout 300 wine "$build/tests/$suite.exe" --gtest_brief=1 \
    >"$work/$suite.log" 2>&1 || status=$?
  summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$work/$suite.log" | tr '\n' ' ')
  if [ "$status" -eq 0 ]; then pass "$suite.exe passes: $summary"; else
    fail "$suite.exe passes" "exit $status; $(grep -E 'FAILED|Failure' "$work/$suite.log" |
      head -n 5 | tr '\n' ' ')"
  fi
done

# ---------------------------------------------------------------------------------------------
install_url_recorder "$work"
build_close_helper "$work"
rm -rf "$WINEPREFIX/drive_c/ProgramData/qor"
# Wine sets the keep-on-top state itself only while the window is unmapped, as at start; later
# changes are requests to a window manager, and there is none here.
play_scenario

# ---------------------------------------------------------------------------------------------
echo "== Log-off: Windows ends the program after WM_ENDSESSION, without WM_DESTROY"
write_settings 0 0 0 5 6 3
if start_game; then
  xdotool windowmove "$window" 150 100 2>/dev/null
  sleep 1
  timeout 60 wine wineboot --end-session >/dev/null 2>&1
  end_game
  check "the ending session ends the program" 1 "$([ "$status" != running ] && echo 1)"
  check "the settings are written with the window's last place" \
    "$(as_settings_lines 0 0 0 100 150 2)" "$(settings_lines)"
  [ "$status" = running ] && end_game alt-f4
else
  fail "the window appears for the log-off" "$(tail -n 5 "$work/game.err")"
fi

echo "== A read-only settings file"
# Root may write any file; without CAP_DAC_OVERRIDE, and with a wineserver of its own (which
# opens the files), the read-only attribute decides, as it does for a user on Windows.
write_settings 1 0 0 5 6 3
chmod 0444 "$settings"
before=$(sha256sum <"$settings")
timeout 20 wineserver -k 2>/dev/null
if start_game setpriv --bounding-set -dac_override,-dac_read_search --; then
  end_game alt-f4
  check "the game ends in order with exit code 1" 1 "$status"
  check "the read-only file is as it was" "$before" "$(sha256sum <"$settings")"
else
  fail "the window appears with a read-only settings file" "$(tail -n 5 "$work/game.err")"
fi
timeout 20 wineserver -k 2>/dev/null
chmod 0644 "$settings"

echo "== WM_QUIT from another program: the window is never destroyed"
# The lines read at start go back as they were; a file missing before becomes six lines of 0.
if i686-w64-mingw32-gcc -O1 -o "$work/post_quit.exe" "$here/wine_post_quit.c" \
    2>"$work/post_quit.log"; then
  mkdir -p "$(dirname "$settings")"
  for before in present missing; do
    if [ "$before" = present ]; then
      write_settings 1 1 0 5 6 3
      expected=$(od -c <"$settings")
    else
      write_settings 0 0 0 0 0 0
      expected=$(od -c <"$settings")
      rm -f "$settings"
    fi
    if start_game; then
      xdotool windowmove "$window" 150 100 2>/dev/null
      timeout 60 wine "$work/post_quit.exe" >/dev/null 2>>"$work/game.err"
      end_game
      check "a file $before before: the game ends in order with exit code 1" 1 "$status"
      check "a file $before before: six well-formed lines" "$expected" \
        "$(od -c <"$settings" 2>/dev/null)"
      [ "$status" = running ] && end_game alt-f4
    else
      fail "the window appears for WM_QUIT" "$(tail -n 5 "$work/game.err")"
    fi
  done
else
  fail "the WM_QUIT helper is built" "$(cat "$work/post_quit.log")"
fi

# ---------------------------------------------------------------------------------------------
# Points the machine-wide application-data folder elsewhere through the registry's shell folders,
# as an administrator may move it; a .reg file in UTF-16 carries any letters.
set_common_appdata() { # Windows folder
  local key value=${1//\\/\\\\}
  {
    printf 'Windows Registry Editor Version 5.00\r\n'
    for key in "User Shell Folders" "Shell Folders"; do
      printf '\r\n[HKEY_LOCAL_MACHINE\\%s\\%s]\r\n' \
        'Software\Microsoft\Windows\CurrentVersion\Explorer' "$key"
      printf '"Common AppData"="%s"\r\n' "$value"
    done
  } | iconv -f UTF-8 -t UTF-16 >"$work/appdata.reg"
  timeout 60 wine regedit /S "$(winepath -w "$work/appdata.reg" 2>/dev/null)" >/dev/null 2>&1
}

echo "== Application-data folders named outside ASCII"
default_settings=$settings
for folder in "Dätä" "Данные"; do
  set_common_appdata "C:\\$folder"
  # The folder a moved application-data folder names exists; what lies under it is the game's.
  rm -rf "$WINEPREFIX/drive_c/$folder"
  mkdir -p "$WINEPREFIX/drive_c/$folder"
  settings="$WINEPREFIX/drive_c/$folder/qor/revaziriv/revAziriv.ini"
  # A first start there creates the folders and the file; a later one updates the file.
  for run in created updated; do
    if [ "$run" = created ]; then left=150 skin=0; else left=170 skin=1; fi
    if [ "$run" = updated ]; then
      mkdir -p "$(dirname "$settings")" && write_settings 1 0 0 5 6 3
    fi
    if start_game; then
      xdotool windowmove "$window" "$left" 100 2>/dev/null
      sleep 1
      end_game alt-f4
      check "C:\\$folder: the game ends in order with exit code 1" 1 "$status"
      check "C:\\$folder: the file is $run with the window's new place" \
        "$(as_settings_lines "$skin" 0 0 100 "$left" 2)" "$(settings_lines 2>/dev/null)"
      # Every account must be able to save there. This Wine keeps a security descriptor only
      # as far as the Unix mode says it: the Users group's right to modify what the folders
      # hold becomes the group's write permission.
      [ "$run" = created ] && check "C:\\$folder: the folders it made let the Users group modify" \
        "rwx rwx" "$(stat -c %A "$WINEPREFIX/drive_c/$folder/qor" "$(dirname "$settings")" |
          cut -c5-7 | paste -sd' ')"
    else
      fail "the window appears with the settings under C:\\$folder" "$(tail -n 5 "$work/game.err")"
    fi
  done
done
set_common_appdata "C:\\ProgramData"
settings=$default_settings

# ---------------------------------------------------------------------------------------------
echo "== The same start in the Linux program"
# The deal is seeded with the second the board was dealt. The Windows program dealt its first
# board within [first_second, last_second]; the Linux program, with its clock stopped at each of
# those seconds in turn, deals the same board at one of them. Its client area must then show
# the same pixels everywhere but in the text, which the two systems' fonts draw differently.
linux_board=""
if [ -x "$linux_program" ]; then
  linux_config="$work/linux-config"
  for second in $(seq "$first_second" "$last_second"); do
    rm -rf "$linux_config"
    env XDG_CONFIG_HOME="$linux_config" TZ=UTC \
      LD_PRELOAD="/usr/\$LIB/faketime/libfaketime.so.1" FAKETIME_DONT_FAKE_MONOTONIC=1 \
      FAKETIME="$(TZ=UTC date -d "@$second" '+%Y-%m-%d %H:%M:%S')" \
      timeout 60 "$linux_program" >>"$work/linux.out" 2>&1 &
    game_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" \
      --name "^${title//./\\.}\$" 2>/dev/null | head -n 1)
    linux_board=""
    if [ -n "$window" ]; then
      for _ in $(seq 20); do
        import -window "$window" "$work/linux-first.png" 2>/dev/null
        linux_board=$("$screen_reader" board "$work/linux-first.png" 0)
        is_deal "$linux_board" && break
        sleep 0.25
      done
    fi
    kill -TERM "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    game_pid=""
    [ "$linux_board" = "$first_deal" ] && break
  done
  check "the Linux program deals the same board for the same second" "$first_deal" "$linux_board"
  if [ "$linux_board" = "$first_deal" ]; then
    different=$("$screen_reader" differ "$work/first.png@$frame_x,$frame_y" \
      "$work/linux-first.png" "$work/first-difference.png")
    check "both programs draw the same pixels outside the text" 0 "$different"
  fi
else
  fail "the Linux program was built" "no $linux_program"
fi

echo "  (everything: $(($(date +%s) - DERADU_WINE_STARTED)) s)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
