#!/usr/bin/env bash
# The Linux program as a native Wayland client under headless compositors of its own. sway
# (wlroots: server-side decorations) plays the shared play's board, deals, skins, Show and Help
# with clicks through wayvnc (rfb_click) and keys through wtype, closes the window itself, and
# at output scales 2 and 1.5 shows the logical size, crisp pixels and tiles that take a click.
# weston (client-side decorations, a seat without input) shows the title bar the program draws.
# Both must write the six lines back with the position lines as they were read.
# Usage: tests/e2e/wayland_native.sh PROGRAM [SCREEN_READER [RFB_CLICK]]. Prints "N passed,
# N failed"; exits non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
# shellcheck source=tests/support/wayland.sh
source "$here/../support/wayland.sh"
use_program "${1:-}"
begin_script wayland_native
require_tools sway swaymsg wayvnc wtype grim weston weston-screenshooter jq convert
use_screen_reader "$here/../.." "${2:-}"
rfb_click=${3:-$here/../../build-asan/tests/deradu_rfb_click}
[ -x "$rfb_click" ] || fatal "the click tool is built" "no $rfb_click (cmake --preset asan)"
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/linux_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$here/scenario.sh"
export DERADU_BACKEND=wayland
install_url_recorder "$work"
position="321 123"
slid="1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"

# The driver on sway: the game's window is found in sway's tree by its pid; its geometry is
# "x y width height" of the surface in logical pixels.
scale=1
window_node() { # jq filter
  swaymsg -t get_tree | jq -r --argjson pid "$game_pid" "first(.. | objects | select(.pid? == \$pid)) | $1"
}
window_geometry() {
  window_node '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
}
# Shown once sway has framed it: the frame moves the window.
window_shown() { [ "$(window_node .border)" = normal ]; }
shown=window_shown
start_game() { # the linux driver's start, with the wait the compositor allows
  env XDG_CONFIG_HOME="$config" XDG_CACHE_HOME="$work/cache" PATH="$work/bin:$PATH" \
    "$binary" >>"$work/game.out" 2>>"$game_err" &
  game_pid=$!
  started "$game_pid"
  wait_until process_ended_or "$game_pid" "$shown"
  kill -0 "$game_pid" 2>/dev/null && "$shown"
}
end_game() { # close (through the compositor) or a signal name
  if [ "$1" = close ]; then swaymsg "[pid=$game_pid] kill" >/dev/null; else kill -s "$1" "$game_pid"; fi
  game_ends
}
# The surface at the output's scale (grim), and one pixel of each block for the screen reader.
shot_image="$work/logical.png"
shot() {
  local x y w h
  read -r x y w h <<<"$(window_geometry)"
  grim -g "$x,$y ${w}x$h" "$work/shot.png" 2>/dev/null &&
    convert "$work/shot.png" -sample "${w}x$h!" "$work/logical.png"
}
# A logical point's physical pixel: the middle of its block, so that only sway's division by
# the scale brings it back.
physical() { # logical x y
  awk -v s="$scale" -v x="$1" -v y="$2" 'BEGIN { printf "%d,%d", (x + 0.5) * s, (y + 0.5) * s }'
}
click() { # x y [button]
  local x y w h
  read -r x y w h <<<"$(window_geometry)"
  "$rfb_click" "$vnc_socket" "$(physical $((x + $1)) $((y + $2))),$((${3:-1} == 3 ? 4 : 1))" \
    "$(physical $((x + pointer_rest[0])) $((y + pointer_rest[1]))),0"
}
key() {
  local name
  for name; do wtype -k "$name"; done
}
# Before each start: numbered skin, switches off, a position, Medium.
fresh_settings() { write_settings "$settings" "0 0 0 $position 2"; }
check_written() { # "skin on-top transparent level", name
  local values
  read -ra values <<<"$1"
  check "$2: six lines written, the position lines as they were read" \
    "${values[*]:0:3} $position ${values[3]}/6" \
    "$(settings_values "$settings")/$(wc -l <"$settings" | tr -d ' ')"
}

echo "== sway at scale 1: the shared play"
start_sway "$work" 1 || fatal "sway starts"
start_sway_pointer "$work" || fatal "wayvnc gives sway's seat a pointer"
fresh_settings
start_game || fatal "the window appears in sway's frame" "$(tail -n 5 "$game_err")"
check "it is titled \"$title\" and floats" "$title/floating_con" \
  "$(window_node '"\(.name)/\(.type)"')"
app_id=$(sed -n 's/^set(DERADU_APP_ID \(.*\))$/\1/p' "$here/../../CMakeLists.txt")
check "its app id is the desktop entry's name, $app_id" "$app_id" "$(window_node .app_id)"
check "its surface is the client area ${client_narrow/ / x }" "$client_narrow" "$(window_size)"
check "it maps neither libX11 nor libxcb" "" \
  "$(grep -oE 'lib(X11|xcb)[^/]*$' "/proc/$game_pid/maps" | sort -u)"
play_first_paint
play_board
play_deals
play_skins
play_show
play_help
click "${keep_on_top[@]}"
check "the keep-on-top button shows its on picture" yes "$(eventually yes shows keep-on-top-on)"
end_game close
check "sway's close ends it with exit code 1" 1 "$status"
check_written "1 1 0 1" "after the play"

echo "== sway beside an X display whose libX11 cannot be loaded"
start_virtual_display "$work" || fatal "the virtual display starts"
export WAYLAND_DISPLAY=wayland-1 # which the display's start hides
fresh_settings
if DERADU_BACKEND=x11 DERADU_LIBX11=libX11-missing.so.6 start_game; then
  pass "X11 asked for, but no libX11 to reach the display: the window opens on Wayland"
  end_game close
else
  fail "X11 asked for, but no libX11: the window opens on Wayland" "$(tail -n 3 "$game_err")"
fi
stop_virtual_display
unset DISPLAY
export DERADU_BACKEND=wayland

echo "== sway at scales 1, 2 and 1.5: size, pixels and clicks"
# A board reading; at a fractional scale sway shrinks the picture drawn at 2, so the numbers
# blur and only the blank's place is read.
blank_of() { if [ "$scale" = 1.5 ]; then sed 's/[1-9][0-9]*/?/g' <<<"$1"; else echo "$1"; fi; }
read_blank() { blank_of "$(fresh_board 0)"; }
blank_seen() { [[ " $(read_blank) " == *" 0 "* ]]; } # the first paint
for scale in 1 2 1.5; do
  swaymsg output HEADLESS-1 scale "$scale" >/dev/null
  fresh_settings
  if ! start_game; then
    fail "scale $scale: the window appears" "$(tail -n 3 "$game_err")"
    continue
  fi
  check "scale $scale: the window keeps its logical size" "$client_narrow" "$(window_size)"
  wait_until blank_seen
  click "${solve[@]}"
  eventually "$(blank_of "$solved")" read_blank >/dev/null
  click_cell 2 3
  check "scale $scale: a click in the middle of a tile beside the blank slides it" \
    "$(blank_of "$slid")" "$(eventually "$(blank_of "$slid")" read_blank)"
  "$rfb_click" "$vnc_socket" 0,0,0 && sleep 0.3 && shot # the picture without the pointer
  cp "$work/shot.png" "$work/scale-$scale.png"
  end_game close
  check_written "0 0 0 2" "scale $scale"
done
check_scaled "$work/scale-1.png" "$work/scale-2.png" 2 "scale 2"

echo "== weston: the title bar the program draws"
# No animations: a picture taken while the window fades in shows it blended.
printf '[shell]\nbackground-color=0xff000000\npanel-position=none\nanimation=none\nstartup-animation=none\n' >"$work/weston.ini"
start_weston "$work" --use-pixman --debug --config="$work/weston.ini" || fatal "weston starts"
# The window is what is not weston's black background in its screenshot: "width height x y".
window_box() {
  rm -rf "$work/shots" && mkdir "$work/shots" &&
    (cd "$work/shots" && timeout 10 weston-screenshooter) &&
    convert "$work"/shots/*.png -alpha off "$work/weston.png" &&
    convert "$work/weston.png" -trim -format '%w %h %X %Y' info: | tr -d +
}
box_shows_window() { read -r w h x y <<<"$(window_box)" && [ "${w:-0}" -ge "${client_narrow% *}" ]; }
shown=box_shows_window
fresh_settings
if start_game; then
  bar=$((h - ${client_narrow#* }))
  check "the surface is the client area's width" "${client_narrow% *}" "$w"
  check "a title bar of its own sits above the client area" 1 "$((bar >= 16 && bar <= 40))"
  check "the bar shows more than a fill: title, minimise and close" 1 \
    "$(($(convert "$work/weston.png" -crop "${w}x$bar+$x+$y" -unique-colors -format %w info:) > 8))"
  check "below it the client area shows the fifteen tiles and the blank" "$(seq -s ' ' 0 15)" \
    "$("$screen_reader" board "$work/weston.png@$x,$((y + bar))" 0 | tr ' ' '\n' | sort -n | xargs)"
else
  fail "the window appears under weston" "$(tail -n 3 "$game_err")"
fi
# weston's headless seat takes no input: no key, no click, no close reaches the window.
end_game TERM
check "SIGTERM ends it with exit code 1" 1 "$status"
check_written "0 0 0 2" "weston"
check "nothing on stderr" "" "$(grep -v '^$' "$game_err" | head -n 3)"
finish
