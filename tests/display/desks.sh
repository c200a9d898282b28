#!/usr/bin/env bash
# The Linux program on the desks players have, each a private virtual display: 24, 16 and 30
# bits a pixel, and a HiDPI screen at factor 2 (GDK_SCALE=2, and Xft.dpi 192 set with xrdb).
# Every run solves the board and slides one tile, so all of them end on the same picture.
# Usage: tests/display/desks.sh PROGRAM SCREEN_READER. Prints "N passed, N failed".
set -uo pipefail

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 PROGRAM SCREEN_READER" >&2
  exit 2
fi
binary=$(realpath "$1")
export DERADU_SCREEN_READER
DERADU_SCREEN_READER=$(realpath "$2")
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/../e2e/e2e_lib.sh"
require_tools Xvfb xdotool xwininfo xrdb import convert
use_screen_reader "$(dirname "$0")/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-desks.XXXXXX")
config="$work/config"
settings="$config/qor/revaziriv/revAziriv.ini"
game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  stop_virtual_display
  if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "Screenshots and logs kept in $work"; fi
}
trap cleanup EXIT

# A virtual display of this many bits a pixel, on a free display number. -noreset: the
# resources xrdb sets stay when their last client leaves.
start_server() { # depth
  stop_virtual_display
  start_virtual_display "$work" "$1" -noreset || fatal "Xvfb starts at depth $1"
}

# Starts the game with the numbered skin at (0, 0); extra VAR=value arguments go into its
# environment. Sets game_pid and window.
start_game() {
  mkdir -p "$(dirname "$settings")"
  [ -n "${keep_settings:-}" ] || printf '0\n0\n0\n0\n0\n2\n' >"$settings"
  env XDG_CONFIG_HOME="$config" XDG_CACHE_HOME="$work/cache" "$@" "$binary" \
    >/dev/null 2>>"$work/game.err" &
  game_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" \
    --name "^${title//./\\.}\$" 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
end_game() {
  kill -TERM "$game_pid"
  for _ in $(seq 200); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  wait "$game_pid" 2>/dev/null
  game_pid=""
}
corner() { geometry | cut -d' ' -f1,2; }
geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}

# Input at factor s goes to physical pixels: the logical point's block, at its far corner so
# that only the division by s can bring it back.
scale=1
click() { # x y
  xdotool mousemove --window "$window" $(($1 * scale + scale - 1)) $(($2 * scale + scale - 1)) \
    click 1
  xdotool mousemove --window "$window" $((pointer_rest[0] * scale)) $((pointer_rest[1] * scale))
}
# A screenshot of the client area, and the same brought back to logical pixels (one pixel of
# each block) for the screen reader's board.
shot() { # name
  import -window "$window" "$work/$1.png" 2>/dev/null
  convert "$work/$1.png" -sample "$((100 / scale))%" "$work/$1-logical.png"
}
board_of() { # name
  shot "$1"
  "$screen_reader" board "$work/$1-logical.png" 0
}
# Pixels of a fresh screenshot unlike the 24-bit one once both keep these bits a channel.
reduced_differences() { # depth red green blue
  import -window "$window" "$work/depth$1.png" 2>/dev/null
  "$screen_reader" reduced "$work/plain.png" "$work/depth$1.png" "$2" "$3" "$4"
}
slid="1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"
# Solve, then slide the tile left of the blank into it; prints the board read afterwards.
solve_and_slide() { # name
  click "${solve[@]}"
  eventually "$solved" board_of "$1" >/dev/null
  click $((board_left + cell * 2 + cell / 2)) $((board_top + cell * 3 + cell / 2))
  eventually "$slid" board_of "$1"
}

echo "== 24 bits a pixel"
start_server 24
start_game || fatal "the window appears at depth 24" "$(tail -n 3 "$work/game.err")"
check "the window appears at (0, 0) with the client area ${client_narrow/ / x }" \
  "0 0 $client_narrow" "$(geometry)"
check "a click on the tile beside the blank slides it" "$slid" "$(solve_and_slide plain)"
end_game

echo "== Factor 2"
for how in GDK_SCALE=2 "Xft.dpi 192"; do
  if [ "$how" = GDK_SCALE=2 ]; then
    start_game GDK_SCALE=2 || fatal "the window appears with $how" "$(tail -n 3 "$work/game.err")"
  else
    printf 'Xft.dpi:\t192\n' | xrdb -merge
    start_game || fatal "the window appears with $how" "$(tail -n 3 "$work/game.err")"
  fi
  scale=2
  check "$how: the client area is 942 x 802" "0 0 942 802" "$(geometry)"
  check "$how: a click on a tile's physical pixels slides it" "$slid" "$(solve_and_slide "$how")"
  # Bitmaps and fills in whole 2 x 2 blocks, strokes within a pixel, labels freshly rendered.
  compared=$("$screen_reader" scaled "$work/plain.png" "$work/$how.png" 2)
  strays=unread moved=100 mixed=0
  [[ $compared =~ ^strays=[0-9]+\ moved=[0-9]+\ mixed=[0-9]+$ ]] && eval "$compared"
  check "$how: outside the text every pixel is its factor-1 pixel or a stroke's beside it" \
    "strays=0" "$(if [ "$strays" = 0 ]; then echo strays=0; else echo "$compared"; fi)"
  check "$how: strokes only, under 5 %, sit a pixel away" 1 "$((moved < 5))"
  check "$how: the labels' text is rendered at twice the size, not enlarged" 1 "$((mixed >= 5))"
  check "$how: the tiles show their numbers" "$slid" \
    "$("$screen_reader" board "$work/$how-logical.png" 0)"
  xdotool windowmove "$window" 300 200
  eventually "300 200" corner >/dev/null
  sleep 0.3
  end_game
  check "$how: the saved position is the physical one" "200 300" \
    "$(sed -n '4p;5p' "$settings" | tr '\n' ' ' | sed 's/ $//')"
  scale=1
done
keep_settings=1 start_game GDK_SCALE=1 ||
  fatal "the window appears at factor 1" "$(tail -n 3 "$work/game.err")"
check "the position saved at factor 2 puts the window at the same place at factor 1" \
  "300 200 $client_narrow" "$(geometry)"
end_game

for depth in 16 30; do
  echo "== $depth bits a pixel"
  start_server "$depth"
  if ! start_game; then
    fail "the window appears at depth $depth" "$(tail -n 3 "$work/game.err")"
    continue
  fi
  check "the window appears at depth $depth" "0 0 $client_narrow" "$(geometry)"
  case $depth in
    16) bits="5 6 5" ;;
    30) bits="8 8 8" ;;
  esac
  click "${solve[@]}"
  sleep 1
  click $((board_left + cell * 2 + cell / 2)) $((board_top + cell * 3 + cell / 2))
  # The screen reader knows 24-bit colours only; the slid board shows as the 24-bit picture.
  check "the slide shows in the 24-bit picture's colours reduced to $depth bits" 0 \
    "$(eventually 0 reduced_differences "$depth" $bits)"
  end_game
done
check "the program wrote nothing on stderr" "" "$(head -n 3 "$work/game.err")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
