#!/usr/bin/env bash
# The Linux program on the desks players have, each a private virtual display: 24, 16 and 30
# bits a pixel; a 4K screen at scales 2 and 3 (GDK_SCALE=2, Xft.dpi 192 set with xrdb, 288 set
# for the screen alone with xrdb -screen, over the display's 192); two monitors of different
# sizes, each too small for scale 3; an 8-bit screen it refuses. Every run that plays solves the
# board and slides one tile, so all of them end on the same picture.
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

# A virtual display of this many bits a pixel (or WIDTHxHEIGHTxDEPTH), on a free display number
# (without resets, so the resources xrdb sets stay when their last client leaves).
start_server() { # depth [Xvfb arguments...]
  stop_virtual_display
  start_virtual_display "$work" "$@" || fatal "Xvfb starts at depth $1"
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
  convert "$work/$1.png" -sample "$(($(identify -format %w "$work/$1.png") / scale))x" \
    "$work/$1-logical.png"
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

echo "== The command line"
# arguments; exit code; first line on stdout; first line on stderr. Without a display, so
# that a command line taken for a start fails apart from its words.
while IFS=';' read -r arguments code out err; do
  status=0
  # shellcheck disable=SC2086
  env -u DISPLAY -u WAYLAND_DISPLAY "$binary" $arguments >"$work/args.out" 2>"$work/args.err" ||
    status=$?
  check "deradu $arguments: exit code, output's and errors' first lines" "$code;$out;$err" \
    "$status;$(head -n 1 "$work/args.out");$(head -n 1 "$work/args.err")"
done <<'EOF'
--version;0;Qor Deradu 1.0;
--help;0;Usage: deradu [--help | --version];
--version extra;2;;deradu: unexpected argument: extra
--help --version;2;;deradu: unexpected argument: --version
--bogus;2;;deradu: unexpected argument: --bogus
-v;2;;deradu: unexpected argument: -v
EOF

echo "== 24 bits a pixel"
start_server 24
start_desk || fatal "the window appears at depth 24" "$(tail -n 3 "$game_err")"
check "the window appears at (0, 0) with the client area ${client_narrow/ / x }" \
  "0 0 $client_narrow" "$(window_geometry)"
check "a click on the tile beside the blank slides it" "$slid" "$(solve_and_slide plain)"
end_game TERM

echo "== Factors 2 and 3"
start_server 3840x2160x24
for desk in "2 GDK_SCALE=2" "2 Xft.dpi 192" "3 Xft.dpi 288 for the screen"; do
  read -r scale how <<<"$desk"  # the scale it asks for, then how
  case $how in
    GDK_SCALE=2) environment=("$how") ;;
    "Xft.dpi 192") environment=() && printf 'Xft.dpi:\t192\n' | xrdb -merge ;;
    *) environment=() && printf 'Xft.dpi:\t288\n' | xrdb -screen -merge ;;
  esac
  start_desk "${environment[@]}" || fatal "the window appears with $how" "$(tail -n 3 "$game_err")"
  check "$how: the client area is $((471 * scale)) x $((401 * scale))" \
    "0 0 $((471 * scale)) $((401 * scale))" "$(window_geometry)"
  check "$how: a click on a tile's physical pixels slides it" "$slid" "$(solve_and_slide "$how")"
  check_scaled "$work/plain.png" "$work/$how.png" "$scale" "$how"
  check "$how: the tiles show their numbers" "$slid" \
    "$("$screen_reader" board "$work/$how-logical.png" 0)"
  # A button acts on a release over it: a press on Solve that moves a few physical pixels first.
  x=$((solve[0] * scale)) y=$((solve[1] * scale))
  xdotool mousemove --window "$window" "$x" "$y" mousedown 1 \
    mousemove --window "$window" $((x + 3)) $((y + 2)) mouseup 1
  check "$how: a press on Solve moved a few pixels before its release still solves" "$solved" \
    "$(eventually "$solved" board_of "$how-moved")"
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
check "the position saved at scale 3 puts the window at the same place at scale 1" \
  "300 200 $client_narrow" "$(window_geometry)"
end_game TERM

# depth, the bits a channel it keeps (red, green, blue), then Xvfb's arguments: a remote
# display offers no shared memory, and its frames take the other way to the server.
for desk in "16 5 6 5" "30 8 8 8" "16 5 6 5 -extension MIT-SHM" "30 8 8 8 -extension MIT-SHM"; do
  read -r depth red green blue server_args <<<"$desk"
  echo "== $depth bits a pixel ${server_args:+($server_args)}"
  # shellcheck disable=SC2086
  start_server "$depth" $server_args
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
    "$(eventually 0 reduced_differences "$depth" "$red" "$green" "$blue")"
  end_game TERM
done

echo "== Two monitors of different heights, GDK_SCALE=3"
start_server 3200x1080x24
xrandr --setmonitor left 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor right 1280/338x720/190+1920+0 none >/dev/null
# Saved top and left; where it opens, at the largest scale at which the wide window fits that
# monitor (2 on 1920 x 1080, 1 on 1280 x 720). No monitor shows what is below the right one.
for desk in "900 100|100 900 942 802" "100 2000|2000 100 471 401" "900 2000|2 2 942 802"; do
  IFS='|' read -r saved opens <<<"$desk"
  write_settings "$settings" "0 0 0 $saved 2"
  keep_settings=1 start_desk GDK_SCALE=3 ||
    fatal "the window appears at $saved" "$(tail -n 3 "$game_err")"
  check "a saved top, left of $saved opens at x, y, width, height $opens" "$opens" \
    "$(window_geometry)"
  end_game TERM
done
check "the program wrote nothing on stderr" "" "$(head -n 3 "$game_err")"

echo "== 8 bits a pixel"
start_server 8
# The fatal-error dialog stands where the game window would, fitted to the screen at the scale
# asked for: 1520 wide at scale 4.
if title=Error start_game GDK_SCALE=4; then
  read -r x y width height < <(window_geometry)
  check "the error dialog fits the 1280 x 1024 screen" "1 1" \
    "$((x >= 0 && x + width <= 1280)) $((y >= 0 && y + height <= 1024))"
  kill -TERM "$game_pid"
else
  fail "the error dialog shows" "$(tail -n 3 "$game_err")"
fi
wait_exit "$game_pid"
check "an 8-bit display ends the program with exit code 2" 2 "$status"
check "the reason is on stderr" 1 "$(grep -c "no true-colour visual" "$game_err")"

echo "== A stderr nobody reads, then the server ends"
start_server 24
# Without fonts the game says so on stderr at start, here a pipe whose reader has gone; then the
# server ends under it, as at the end of a session. The settings file is XDG_CONFIG_HOME's.
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/no-fonts.conf"
if start_desk HOME="$work/home" FONTCONFIG_FILE="$work/no-fonts.conf" \
  bash -c 'exec 2> >(:); sleep 0.3; exec "$@"' closed-stderr; then
  pass "with stderr a closed pipe the window appears"
  xdotool windowmove "$window" 120 80
  eventually "120 80" window_corner >/dev/null
  sleep 0.3
  stop_virtual_display
  game_ends
  check "the server ending ends the game with code 2, the position saved where XDG_CONFIG_HOME says" \
    "2/80 120" "$status/$(settings_values "$settings" | cut -d' ' -f4,5)"
else
  game_ends
  fail "with stderr a closed pipe the window appears" "the program ended: $status"
fi
finish
