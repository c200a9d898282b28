#!/usr/bin/env bash
# End-to-end tests of the Linux program on a private virtual display, played with xdotool as a
# player would: clicks, keys, screenshots read back against the tile bitmaps, the window's X
# properties, the settings file across runs, the orderly ends and the help page.
# Usage: tests/e2e/linux.sh BINARY. Prints "N passed, N failed"; exits non-zero on a failure.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 BINARY" >&2
  exit 2
fi
binary=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
res=$(cd "$here/../../res" && pwd)

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-e2e.XXXXXX")
config="$work/config"
settings="$config/qor/revaziriv/revAziriv.ini"
game_pid=""
window=""

cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "Screenshots and logs kept in $work"; fi
}
trap cleanup EXIT

# ---------------------------------------------------------------------------------------------
# The virtual display, the stand-in URL opener and the reference tiles.

start_xvfb "$work"

install_url_recorder "$work"

# A window manager's close request, for the close box's path through the program.
close_helper=""
if cc -o "$work/close" "$here/linux_close.c" -lX11 2>"$work/close.log"; then
  close_helper="$work/close"
fi

make_tiles "$work" "$res" 0 699
make_tiles "$work" "$res" 1 715
solved="1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 0"

# ---------------------------------------------------------------------------------------------
# Driving the program.

# Its stderr goes to $game_err; extra VAR=value arguments go into its environment.
game_err="$work/game.err"
start_game() {
  # SIGINT must reach the program: a script's background job would otherwise ignore it.
  env --default-signal=INT XDG_CONFIG_HOME="$config" XDG_CACHE_HOME="$work/cache" \
    PATH="$work/bin:$PATH" "$@" "$binary" \
    >>"$work/game.out" 2>>"$game_err" &
  game_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" \
    --name '^Qor Deradu 1\.0$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}

# Ends the game with `how` (a signal name, or "close" for the window manager's close request)
# and sets `status` to its exit code, or "running" when it has not ended within 20 seconds.
stop_game() {
  if [ "$1" = close ]; then "$close_helper" "$window"; else kill -s "$1" "$game_pid"; fi
  for _ in $(seq 200); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
  done
  status=running
  kill -0 "$game_pid" 2>/dev/null && return
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
}

shot() { import -window "$window" "$work/shot.png" 2>/dev/null; }

# Client points, as a player's pointer would go; afterwards the pointer rests on the background.
click() { # x y [button]
  xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"
  xdotool mousemove --window "$window" 200 385
}
key() { xdotool key --window "$window" "$@"; }

read_board() { # skin [board x]
  pixels "$work/shot.png" "${2:-30}" 45 312 312 >"$work/board.txt"
  awk -f "$here/linux_board.awk" "$work/tiles$1.txt" "$work/board.txt"
}

# Waits up to 5 seconds for the board to read as `expected`; prints the last reading.
board_becomes() { # skin expected [board x]
  local reading=""
  for _ in $(seq 25); do
    shot
    reading=$(read_board "$1" "${3:-}")
    [ "$reading" = "$2" ] && break
    sleep 0.2
  done
  echo "$reading"
}

client_geometry() { window_geometry; }

# The opacity's top byte, which is what a compositor uses: 0xbe for 190/255, 0x0 for none.
opacity_byte() {
  local value
  value=$(opacity)
  printf '0x%x' $((${value:-0} >> 24))
}
client_size() { client_geometry | cut -d' ' -f3,4; }
client_corner() { client_geometry | cut -d' ' -f1,2; }
# "yes" when a fresh screenshot shows at least 90 % of a bitmap's rectangle (region_match's
# arguments).
shows() {
  shot
  if [ "$(region_match "$@")" -ge 90 ]; then echo yes; else echo no; fi
}
# Runs a command until it prints `expected`, for up to 5 seconds; prints its last output.
eventually() { # expected, command...
  local expected=$1 out=""
  shift
  for _ in $(seq 25); do
    out=$("$@")
    [ "$out" = "$expected" ] && break
    sleep 0.2
  done
  echo "$out"
}
net_state() { xprop -id "$window" _NET_WM_STATE | sed -n 's/.* = //p'; }
settings_lines() { tr -d '\r ' <"$settings" | head -n 6 | tr '\n' ' ' | sed 's/ $//'; }

# libdbus starts a session bus for an X display with "dbus-launch --autolaunch", which then
# lives as long as the display; other programs' buses on the machine are none of ours.
bus_processes() {
  local pid
  for pid in $(pgrep -f -- 'dbus-launch --autolaunch'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" && echo "$pid"
  done
}

# Screen places, in client pixels (centres of the buttons).
easy=(413 60); solve=(413 160); picture=(413 190); show=(413 220)
help=(421 11); transparency=(441 11); keep_on_top=(461 11)
click_cell() { click $((30 + 78 * $1 + 39)) $((45 + 78 * $2 + 39)); }

# ---------------------------------------------------------------------------------------------
echo "== First start: no settings file"
if ! start_game; then
  fail "the window appears" "$(cat "$work/game.err")"
  echo "$passed passed, $failed failed"
  exit 1
fi
pass "the window appears, titled \"Qor Deradu 1.0\""
check "its X11 class is winMain" '"winMain", "winMain"' \
  "$(xprop -id "$window" WM_CLASS | sed -n 's/.* = //p')"
check "it opens at (0, 0) with a 471 x 401 client area" "0 0 471 401" "$(client_geometry)"
check "it is opaque" "" "$(opacity)"
check "it is not kept on top" "" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"

deal=$(new_deal 0 "")
if is_deal "$deal"; then pass "the first paint shows a dealt board of numbered tiles"; else
  fail "the first paint shows a dealt board of numbered tiles" "read '$deal'"; fi
check "the background bitmap fills the window" 1 "$(($(region_match 101 0 380 471 21 0 380) >= 90))"

click "${solve[@]}"
check "Solve puts the tiles in order" "$solved" "$(board_becomes 0 "$solved")"
check "after Solve the completion banner stays hidden" 1 \
  "$(($(region_match 602 353 325 110 30) < 50))"

# The blank is bottom right: slide 15 left into it and back to complete the board by hand.
click_cell 2 3
check "a click on the tile beside the blank slides it" \
  "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15" "$(board_becomes 0 "1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15")"
click_cell 3 3
board_becomes 0 "$solved" >/dev/null
check "completing the board by hand shows the banner" yes "$(eventually yes shows 602 353 325 110 30)"
click_cell 3 2
board_becomes 0 "1 2 3 4 5 6 7 8 9 10 11 0 13 14 15 12" >/dev/null
check "one more slide hides the banner" 1 "$(($(region_match 602 353 325 110 30) < 50))"
click_cell 0 0
sleep 0.3
check "a click on a tile away from the blank changes nothing" \
  "1 2 3 4 5 6 7 8 9 10 11 0 13 14 15 12" "$(board_becomes 0 "1 2 3 4 5 6 7 8 9 10 11 0 13 14 15 12")"

key s
check "key S solves" "$solved" "$(board_becomes 0 "$solved")"

click "${solve[@]}" 3
sleep 0.5
shot
check "a right click on a button does nothing" "$solved" "$(read_board 0)"
click "${easy[@]}"
deal=$(new_deal 0 "$solved")
if is_deal "$deal"; then pass "a click on Easy deals a new board"; else
  fail "a click on Easy deals a new board" "read '$deal'"; fi
# Deals are seeded with the time in seconds: in the same second N would deal the same board.
sleep 1.1
key n
next=$(new_deal 0 "$deal")
if is_deal "$next" && [ "$next" != "$deal" ]; then pass "key N deals a new board"; else
  fail "key N deals a new board" "read '$next' after '$deal'"; fi
deal=$next

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
check "Show widens the client area to 864 x 401" "864 401" "$(eventually "864 401" client_size)"
check "Show shows the reference picture in order" "$solved" "$(board_becomes 1 "$solved" 510)"
check "Show shows the side-panel background" yes "$(eventually yes shows 607 840 380 24 21 363 380)"
click "${show[@]}"
check "Hide narrows it back to 471 x 401" "471 401" "$(eventually "471 401" client_size)"

click "${transparency[@]}"
check "the transparency button sets the opacity to 190/255" "0xbe" "$(eventually 0xbe opacity_byte)"
check "the transparency button shows its on picture" yes "$(eventually yes shows 633 431 1 20 20)"
click "${transparency[@]}"
check "a second click makes the window opaque again" "" "$(eventually "" opacity)"

# A button acts on a release inside it; without mouse capture a release outside the window
# reaches nobody, though this button touches the window's edge.
xdotool mousemove --window "$window" "${keep_on_top[@]}" mousedown 1
xdotool mousemove --window "$window" 700 11 mouseup 1
xdotool mousemove --window "$window" 200 385
sleep 0.5
shot
check "a press on Keep on top released outside the window does not switch it" 1 \
  "$(($(region_match 615 451 1 20 20) < 90))"
click "${keep_on_top[@]}"
check "the keep-on-top button shows its on picture" yes "$(eventually yes shows 615 451 1 20 20)"

rm -f "$work/opened"
click "${help[@]}"
for _ in $(seq 50); do [ -f "$work/opened" ] && break; sleep 0.1; done
check "Help opens the information page with the desktop's URL opener" 1 \
  "$(sed -n 1p "$work/opened" 2>/dev/null)"
url=$(sed -n 2p "$work/opened" 2>/dev/null)
check "the page address ends in /deradu/index.php?v=1.0u" "/deradu/index.php?v=1.0u" \
  "${url: -24}"
sleep 0.3
check "no child process is left after opening the page" "" \
  "$(ps -o pid= --ppid "$game_pid" | tr -d ' ')"

xdotool windowmove "$window" 120 80
sleep 0.5
stop_game TERM
check "SIGTERM ends the game with exit code 1" 1 "$status"
if [ -f "$settings" ]; then
  pass "the settings file and its folders are created at exit"
  check "the settings hold skin, keep on top, transparency, top, left, level" \
    "1 1 0 80 120 1" "$(settings_lines)"
else
  fail "the settings file and its folders are created at exit" "no $settings"
fi

# ---------------------------------------------------------------------------------------------
echo "== Second start: the saved settings"
if start_game; then
  check "the window reopens where it was left" "120 80" "$(client_corner)"
  check "it is kept on top" "_NET_WM_STATE_ABOVE" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
  deal=$(new_deal 1 "")
  if is_deal "$deal"; then pass "it deals its first board in the saved picture skin"; else
    fail "it deals its first board in the saved picture skin" "read '$deal'"; fi
  check "the keep-on-top button starts on" yes "$(eventually yes shows 615 451 1 20 20)"
  if [ -n "$close_helper" ]; then
    stop_game close
    check "the window manager's close request ends it with exit code 1" 1 "$status"
  else
    fail "the window manager's close request ends it" "no close helper: $(cat "$work/close.log")"
    stop_game TERM
  fi
  check "the position is saved again without drift" "1 1 0 80 120 2" "$(settings_lines)"
else
  fail "the window appears again" "$(cat "$work/game.err")"
fi

# ---------------------------------------------------------------------------------------------
echo "== Third start: transparency saved, position off the screen"
printf '0\n0\n1\n99999\n4294967291\n3\n' >"$settings"
if start_game; then
  check "a position off the screen falls back to (2, 2)" "2 2" "$(client_corner)"
  check "the saved transparency applies at start" "0xbe" "$(opacity_byte)"
  deal=$(new_deal 0 "")
  if is_deal "$deal"; then pass "it deals in the numbered skin"; else
    fail "it deals in the numbered skin" "read '$deal'"; fi
  stop_game INT
  check "SIGINT ends the game with exit code 1" 1 "$status"
  check "every start plays Medium, whatever level was saved" "0 0 1 2 2 2" "$(settings_lines)"
else
  fail "the window appears a third time" "$(cat "$work/game.err")"
fi

# ---------------------------------------------------------------------------------------------
echo "== Hang-up, a killed connection, no fonts, a server that ends"
saved_position() { settings_lines | cut -d' ' -f4,5; }
# Moves the window to (x, y) and waits until the program has seen it there.
move_to() { # x y
  xdotool windowmove "$window" "$1" "$2"
  eventually "$1 $2" client_corner >/dev/null
  sleep 0.3
}
# Waits for the game to end by itself; sets `status` as stop_game does.
game_ends() {
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  status=running
  kill -0 "$game_pid" 2>/dev/null && return
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
}
if start_game; then
  move_to 140 60
  stop_game HUP
  check "SIGHUP ends the game in order: exit code 1, the position saved" "1/60 140" \
    "$status/$(saved_position)"
else
  fail "the window appears for the hang-up" "$(cat "$game_err")"
fi

game_err="$work/killed.err"
if start_game; then
  move_to 160 70
  xkill -id "$window" >/dev/null 2>&1
  game_ends
  check "a connection killed by another client ends the game with exit code 2, position saved" \
    "2/70 160" "$status/$(saved_position)"
  check "and says so in one line" "1/1" \
    "$(wc -l <"$game_err" | tr -d ' ')/$(grep -c 'lost the connection to the X display' "$game_err")"
else
  fail "the window appears for the killed connection" "$(cat "$game_err")"
fi

game_err="$work/no-fonts.err"
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/no-fonts.conf"
if start_game FONTCONFIG_FILE="$work/no-fonts.conf"; then
  deal=$(new_deal 0 "")
  if is_deal "$deal"; then pass "without any font the game still deals and shows its tiles"; else
    fail "without any font the game still deals and shows its tiles" "read '$deal'"; fi
  check "and says at start that no font was found" "no font found: " \
    "$(head -c 15 "$game_err")"
  stop_game TERM
  check "it ends in order" 1 "$status"
else
  fail "the window appears without fonts" "$(cat "$game_err")"
fi

game_err="$work/server-ends.err"
if start_game; then
  move_to 180 90
  kill -TERM "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
  game_ends
  check "when the X server ends the game ends with exit code 2, position saved" "2/90 180" \
    "$status/$(saved_position)"
  check "and says so in one line" "1/1" \
    "$(wc -l <"$game_err" | tr -d ' ')/$(grep -c 'lost the connection to the X display' "$game_err")"
else
  fail "the window appears before the server ends" "$(cat "$game_err")"
fi
start_xvfb "$work"

# ---------------------------------------------------------------------------------------------
echo "== No display"
no_display_status=0
env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$work/no-display" timeout 20 "$binary" \
  >/dev/null 2>"$work/no-display.err" || no_display_status=$?
check "without a display the program reports it and ends with an error" "2/1" \
  "$no_display_status/$(grep -c 'failed' "$work/no-display.err")"
check "and writes no settings" "" "$(ls -A "$work/no-display" 2>/dev/null)"

# ---------------------------------------------------------------------------------------------
echo "== Afterwards"
check "no session-bus helper was started for the display" "" "$(bus_processes | tr '\n' ' ')"
check "no copy of the program is left running" "" "$(pgrep -f "^$binary" | tr '\n' ' ')"
check "otherwise the program wrote nothing on stderr" "" \
  "$(grep -v '^$' "$work/game.err" | head -n 3)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
