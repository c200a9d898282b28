#!/usr/bin/env bash
# The Linux program on the desks players have, each a private virtual display: 24, 16 and 30
# bits a pixel, and a HiDPI screen at scale 2 (GDK_SCALE=2, and Xft.dpi 192 set with xrdb).
# Every run solves the board and slides one tile, so all of them end on the same picture.
# Usage: tests/display/desks.sh PROGRAM [SCREEN_READER]. Prints "N passed, N failed".
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/../e2e/e2e_lib.sh"
use_program "${1:-}"
begin_script desks
require_tools Xvfb xdotool xwininfo xrdb import convert
use_screen_reader "$here/../.." "${2:-}"
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/../e2e/linux_driver.sh"

# A virtual display of this many bits a pixel, on a free display number (without resets, so
# the resources xrdb sets stay when their last client leaves).
start_server() { # depth
  stop_virtual_display
  start_virtual_display "$work" "$1" || fatal "Xvfb starts at depth $1"
}

# The driver's start with the numbered skin at (0, 0), unless keep_settings is set.
start_desk() { # [VAR=value...]
  [ -n "${keep_settings:-}" ] || write_settings "$settings" "0 0 0 0 0 2"
  start_game "$@"
}

# Input at scale s goes to physical pixels: the logical point's block, at its far corner so
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
start_desk || fatal "the window appears at depth 24" "$(tail -n 3 "$game_err")"
check "the window appears at (0, 0) with the client area ${client_narrow/ / x }" \
  "0 0 $client_narrow" "$(window_geometry)"
check "a click on the tile beside the blank slides it" "$slid" "$(solve_and_slide plain)"
end_game TERM

echo "== Factor 2"
for how in GDK_SCALE=2 "Xft.dpi 192"; do
  case $how in
    GDK_SCALE=2) environment=("$how") ;;
    *) environment=() && printf 'Xft.dpi:\t192\n' | xrdb -merge ;;
  esac
  start_desk "${environment[@]}" || fatal "the window appears with $how" "$(tail -n 3 "$game_err")"
  scale=2
  check "$how: the client area is 942 x 802" "0 0 942 802" "$(window_geometry)"
  check "$how: a click on a tile's physical pixels slides it" "$slid" "$(solve_and_slide "$how")"
  check_scaled "$work/plain.png" "$work/$how.png" "$how"
  check "$how: the tiles show their numbers" "$slid" \
    "$("$screen_reader" board "$work/$how-logical.png" 0)"
  xdotool windowmove "$window" 300 200
  eventually "300 200" window_corner >/dev/null
  sleep 0.3
  end_game TERM
  check "$how: the saved position is the physical one" "200 300" \
    "$(settings_values "$settings" | cut -d' ' -f4,5)"
  scale=1
done
keep_settings=1 start_desk GDK_SCALE=1 ||
  fatal "the window appears at scale 1" "$(tail -n 3 "$game_err")"
check "the position saved at scale 2 puts the window at the same place at scale 1" \
  "300 200 $client_narrow" "$(window_geometry)"
end_game TERM

# depth, then the bits a channel it keeps: red, green, blue
for desk in "16 5 6 5" "30 8 8 8"; do
  read -r depth bits <<<"$desk"
  echo "== $depth bits a pixel"
  start_server "$depth"
  if ! start_desk; then
    fail "the window appears at depth $depth" "$(tail -n 3 "$game_err")"
    continue
  fi
  check "the window appears at depth $depth" "0 0 $client_narrow" "$(window_geometry)"
  click "${solve[@]}"
  sleep 1
  click $((board_left + cell * 2 + cell / 2)) $((board_top + cell * 3 + cell / 2))
  # The screen reader knows 24-bit colours only; the slid board shows as the 24-bit picture.
  check "the slide shows in the 24-bit picture's colours reduced to $depth bits" 0 \
    "$(eventually 0 reduced_differences "$depth" $bits)"
  end_game TERM
done
check "the program wrote nothing on stderr" "" "$(head -n 3 "$game_err")"
finish
