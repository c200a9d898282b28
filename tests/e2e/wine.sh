#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine on a private virtual display: the portable
# unit tests built for Windows, then deradu.exe played with xdotool (clicks, keys, screenshots
# read back against the tile bitmaps), its settings file across runs and its orderly ends, and
# finally the same dealt board in the Linux program, compared pixel for pixel outside the text.
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
res="$root/res"

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-wine.XXXXXX")
game_pid=""
window=""

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
settings="$WINEPREFIX/drive_c/ProgramData/qor/revaziriv/revAziriv.ini"

cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  timeout 20 wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
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

start_xvfb "$work"

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
# Playing the program. Without a window manager Wine draws the frame itself inside an X window
# of the outer size; the client area starts 3 pixels in from the left and 22 from the top.
frame_x=3
frame_y=22
client_width=471
client_height=401

install_url_recorder "$work"

deal_attempts=50  # Wine under an emulator is slower to repaint
make_tiles "$work" "$res" 0 699
make_tiles "$work" "$res" 1 715
solved="1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0"

start_game() { # [command that runs wine...]
  timeout 120 "$@" wine "$exe" >>"$work/game.out" 2>>"$work/game.err" &
  game_pid=$!
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Qor Deradu 1\.0$' 2>/dev/null |
    head -n 1)
  [ -n "$window" ]
}

# Waits for the game to end after `how` was done to it and sets `status` to its exit code, or
# "running" when it has not ended within 30 seconds.
stop_game() { # how: alt-f4, close-box, close-request, or nothing (something else ends it)
  case "${1:-}" in
    alt-f4) xdotool key --window "$window" alt+F4 2>/dev/null ;;
    close-box) click_outer $((outer_width - frame_x - 9)) $((frame_y / 2 + 1)) ;;
    close-request) "$close_helper" "$window" ;;
  esac
  local i
  for i in $(seq 300); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  status=running
  kill -0 "$game_pid" 2>/dev/null && return
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
}

# Screenshot of the client area alone.
shot() {
  import -window "$window" "$work/outer.png" 2>/dev/null &&
    convert "$work/outer.png" -crop "$((outer_width - 2 * frame_x))x$client_height+$frame_x+$frame_y" \
      +repage "$work/shot.png"
}

outer_width=477
click_outer() { # x y, in the X window
  xdotool mousemove --window "$window" "$1" "$2" click 1 2>/dev/null
}
# Client points, as a player's pointer would go; afterwards the pointer rests on the background.
click() { # x y [button]
  xdotool mousemove --window "$window" $(($1 + frame_x)) $(($2 + frame_y)) click "${3:-1}" 2>/dev/null
  xdotool mousemove --window "$window" $((200 + frame_x)) $((385 + frame_y)) 2>/dev/null
}
key() { xdotool key --window "$window" "$@" 2>/dev/null; }

read_board() { # skin [board x]
  pixels "$work/shot.png" "${2:-30}" 45 312 312 >"$work/board.txt"
  awk -f "$here/linux_board.awk" "$work/tiles$1.txt" "$work/board.txt"
}

# Waits up to 10 seconds for the board to read as `expected`; prints the last reading.
board_becomes() { # skin expected [board x]
  local reading="" i
  for i in $(seq 40); do
    shot
    reading=$(read_board "$1" "${3:-}")
    [ "$reading" = "$2" ] && break
    sleep 0.25
  done
  echo "$reading"
}

# The X window's position and size: Wine's outer window rectangle.
outer_geometry() { window_geometry; }
net_state() { xprop -id "$window" _NET_WM_STATE | sed -n 's/.* = //p'; }
settings_lines() { tr -d ' ' <"$settings" | head -n 6 | tr '\r\n' '| ' | sed 's/ $//'; }

# A window manager's close request (WM_DELETE_WINDOW), which Wine turns into WM_CLOSE.
close_helper=""
if cc -o "$work/close" "$here/linux_close.c" -lX11 2>"$work/close.log"; then
  close_helper="$work/close"
fi

# Screen places, in client pixels (centres of the buttons).
easy=(413 60); solve=(413 160); picture=(413 190); show=(413 220)
help=(421 11); transparency=(441 11); keep_on_top=(461 11)
cell() { echo $((30 + 78 * $1 + 39)) $((45 + 78 * $2 + 39)); }

# ---------------------------------------------------------------------------------------------
echo "== First start: no settings file, no settings folders"
rm -rf "$WINEPREFIX/drive_c/ProgramData/qor"
first_second=$(date +%s)
if ! timed "window shown" start_game; then
  fail "the window appears" "$(tail -n 5 "$work/game.err")"
  echo "$passed passed, $failed failed"
  exit 1
fi
pass "the window appears, titled \"Qor Deradu 1.0\""
check "it opens at (0, 0) with the outer size 477 x 426" "0 0 477 426" "$(outer_geometry)"
deal=$(new_deal 0 "")
last_second=$(date +%s)
if is_deal "$deal"; then pass "the first paint shows a dealt board of numbered tiles"; else
  fail "the first paint shows a dealt board of numbered tiles" "read '$deal'"; fi
cp "$work/shot.png" "$work/wine-first.png"
first_deal=$deal
check "the background bitmap fills the client area" 1 \
  "$(($(region_match 101 0 380 471 21 0 380) >= 90))"
check "it is not kept on top" "" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
check "the title-bar buttons show their off pictures" 1 \
  "$(($(region_match 632 431 1 20 20) >= 90 && $(region_match 614 451 1 20 20) >= 90))"

click "${solve[@]}"
check "Solve puts the tiles in order" "$solved" "$(board_becomes 0 "$solved")"
check "after Solve the completion banner stays hidden" 1 \
  "$(($(region_match 602 353 325 110 30) < 50))"
click $(cell 2 3)
check "a click on the tile beside the blank slides it" \
  "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15" "$(board_becomes 0 "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15")"
click $(cell 3 3)
board_becomes 0 "$solved" >/dev/null
sleep 0.5
shot
check "completing the board by hand shows the banner" 1 "$(($(region_match 602 353 325 110 30) >= 95))"
click $(cell 0 0)
sleep 0.5
check "a click on a tile away from the blank changes nothing" "$solved" "$(board_becomes 0 "$solved")"

click "${easy[@]}"
deal=$(new_deal 0 "$solved")
if is_deal "$deal"; then pass "a click on Easy deals a new board"; else
  fail "a click on Easy deals a new board" "read '$deal'"; fi
key s
check "key S solves" "$solved" "$(board_becomes 0 "$solved")"
key n
deal=$(new_deal 0 "$solved")
if is_deal "$deal"; then pass "key N deals a new board"; else
  fail "key N deals a new board" "read '$deal'"; fi
key k
check "key K shows the picture skin at once" "$deal" "$(board_becomes 1 "$deal")"
key c
sleep 0.5
shot
check "key C changes the skin without repainting" "$deal" "$(read_board 1)"
key Left
check "the next repaint shows the skin key C chose" "$deal" "$(board_becomes 0 "$deal")"
click "${picture[@]}"
check "the Picture button switches to the picture skin" "$deal" "$(board_becomes 1 "$deal")"

click "${show[@]}"
sleep 1
check "Show widens the window to 870 x 426" "870 426" "$(outer_geometry | cut -d' ' -f3,4)"
outer_width=870
check "Show shows the reference picture in order" "$solved" "$(board_becomes 1 "$solved" 510)"
check "Show shows the side-panel background" 1 "$(($(region_match 607 840 380 24 21 363 380) >= 95))"
click "${show[@]}"
sleep 1
check "Hide narrows it back to 477 x 426" "477 426" "$(outer_geometry | cut -d' ' -f3,4)"
outer_width=477

click "${transparency[@]}"
sleep 1
check "the transparency button sets the opacity to 190/255" "0xbe" \
  "$(printf '0x%x' $(($(opacity || echo 0) >> 24)))"
shot
check "the transparency button shows its on picture" 1 "$(($(region_match 633 431 1 20 20) >= 90))"
click "${transparency[@]}"
sleep 1
check "a second click makes the window opaque again" "" "$(opacity)"

click "${keep_on_top[@]}"
sleep 1
shot
check "the keep-on-top button shows its on picture" 1 "$(($(region_match 615 451 1 20 20) >= 90))"

rm -f "$work/opened"
click "${help[@]}"
for _ in $(seq 300); do [ -f "$work/opened" ] && break; sleep 0.1; done
url=$(sed -n 2p "$work/opened" 2>/dev/null)
check "Help opens the information page through the desktop's URL opener" \
  "/deradu/index.php?v=1.0u" "${url: -24}"

xdotool windowmove "$window" 120 80 2>/dev/null
sleep 1
stop_game alt-f4
check "Alt+F4 ends the program with exit code 1" 1 "$status"
if [ -f "$settings" ]; then
  pass "the settings file and its folders are created at exit"
  check "the settings hold skin, keep on top, transparency, top, left, level with CR LF" \
    "1| 1| 0| 80| 120| 1|" "$(settings_lines)"
else
  fail "the settings file and its folders are created at exit" "no $settings"
fi

# ---------------------------------------------------------------------------------------------
echo "== Second start: the saved settings"
if start_game; then
  check "the window reopens where it was left" "120 80" "$(outer_geometry | cut -d' ' -f1,2)"
  # Wine sets the state itself only while the window is unmapped, as at start; later changes
  # are requests to a window manager, and there is none here.
  check "it is kept on top" "_NET_WM_STATE_ABOVE" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
  deal=$(new_deal 1 "")
  if is_deal "$deal"; then pass "it deals its first board in the saved picture skin"; else
    fail "it deals its first board in the saved picture skin" "read '$deal'"; fi
  check "the keep-on-top button starts on" 1 "$(($(region_match 615 451 1 20 20) >= 90))"
  stop_game close-box
  check "the close box ends it with exit code 1" 1 "$status"
  check "the position is saved again without drift" "1| 1| 0| 80| 120| 2|" "$(settings_lines)"
else
  fail "the window appears again" "$(tail -n 5 "$work/game.err")"
fi

# ---------------------------------------------------------------------------------------------
echo "== Third start: transparency saved, position off the screen"
printf '0\r\n0\r\n1\r\n99999\r\n4294967291\r\n3\r\n' >"$settings"
if start_game; then
  check "a position off the screen falls back to (2, 2)" "2 2" "$(outer_geometry | cut -d' ' -f1,2)"
  check "the saved transparency applies at start" "0xbe" \
    "$(printf '0x%x' $(($(opacity || echo 0) >> 24)))"
  deal=$(new_deal 0 "")
  if is_deal "$deal"; then pass "it deals in the numbered skin"; else
    fail "it deals in the numbered skin" "read '$deal'"; fi
  if [ -n "$close_helper" ]; then
    stop_game close-request
    check "a window manager's close request ends it with exit code 1" 1 "$status"
  else
    fail "a window manager's close request ends it" "no close helper: $(cat "$work/close.log")"
    stop_game alt-f4
  fi
  check "every start plays Medium, whatever level was saved" "0| 0| 1| 2| 2| 2|" "$(settings_lines)"
else
  fail "the window appears a third time" "$(tail -n 5 "$work/game.err")"
fi

# ---------------------------------------------------------------------------------------------
echo "== Log-off: Windows ends the program after WM_ENDSESSION, without WM_DESTROY"
printf '0\r\n0\r\n0\r\n5\r\n6\r\n3\r\n' >"$settings"
if start_game; then
  xdotool windowmove "$window" 150 100 2>/dev/null
  sleep 1
  timeout 60 wine wineboot --end-session >/dev/null 2>&1
  stop_game
  check "the ending session ends the program" 1 "$([ "$status" != running ] && echo 1)"
  check "the settings are written with the window's last place" "0| 0| 0| 100| 150| 2|" \
    "$(settings_lines)"
  [ "$status" = running ] && stop_game alt-f4
else
  fail "the window appears for the log-off" "$(tail -n 5 "$work/game.err")"
fi

echo "== A read-only settings file"
# Root may write any file; without CAP_DAC_OVERRIDE, and with a wineserver of its own (which
# opens the files), the read-only attribute decides, as it does for a user on Windows.
printf '1\r\n0\r\n0\r\n5\r\n6\r\n3\r\n' >"$settings"
chmod 0444 "$settings"
before=$(sha256sum <"$settings")
timeout 20 wineserver -k 2>/dev/null
if start_game setpriv --bounding-set -dac_override,-dac_read_search --; then
  stop_game alt-f4
  check "the game ends in order with exit code 1" 1 "$status"
  check "the read-only file is as it was" "$before" "$(sha256sum <"$settings")"
else
  fail "the window appears with a read-only settings file" "$(tail -n 5 "$work/game.err")"
fi
timeout 20 wineserver -k 2>/dev/null
chmod 0644 "$settings"

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
      --name '^Qor Deradu 1\.0$' 2>/dev/null | head -n 1)
    linux_board=""
    if [ -n "$window" ]; then
      for _ in $(seq 20); do
        import -window "$window" "$work/shot.png" 2>/dev/null
        linux_board=$(read_board 0)
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
    cp "$work/shot.png" "$work/linux-first.png"
    different=$("$here/wine_compare.sh" "$work/wine-first.png" "$work/linux-first.png" \
      "$work/first-difference.png")
    check "both programs draw the same pixels outside the text" 0 "$different"
  fi
else
  fail "the Linux program was built" "no $linux_program"
fi

echo "  (everything: $(($(date +%s) - DERADU_WINE_STARTED)) s)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
