#!/usr/bin/env bash
# The Linux program in a Wayland session: weston's headless back end with XWayland, whose own
# X window manager frames the window. The shared play's board, deals and skins (scenario.sh),
# the window manager's close, and the settings written. The headless compositor has no
# pointer, and XWayland without one ends on XTEST input or a pointer warp, so clicks and keys
# are sent to the window, as a window manager forwards them.
# Usage: tests/e2e/wayland.sh PROGRAM [SCREEN_READER]. Prints "N passed, N failed"; exits
# non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
# shellcheck source=tests/support/wayland.sh
source "$here/../support/wayland.sh"
use_program "${1:-}"
begin_script wayland
require_tools weston Xwayland xdotool xwininfo import cc
use_screen_reader "$here/../.." "${2:-}"
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/linux_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$here/scenario.sh"

echo "== A Wayland compositor with XWayland"
# weston starts XWayland when the first X client connects and says on which display.
start_weston "$work" --xwayland || fatal "weston starts"
xwayland_display() {
  sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" 2>/dev/null |
    tail -n 1 | grep .
}
wait_until xwayland_display >/dev/null ||
  fatal "weston starts with XWayland" "$(tail -n 5 "$work/weston.log" 2>/dev/null)"
DISPLAY=$(xwayland_display)
export DISPLAY
# The X11 program through XWayland: left to choose, it would open a native Wayland window.
export DERADU_BACKEND=x11
pass "weston starts with XWayland on $DISPLAY"

install_url_recorder "$work"
build_close_helper "$work"
click_helper="$work/click"
cc -o "$click_helper" "$here/linux_click.c" -lX11 2>"$work/click.log" ||
  fatal "the click helper is built" "$(cat "$work/click.log")"
click() { # x y [button]
  "$click_helper" "$window" "$1" "$2" "${3:-1}"
}
# xdotool warns that XWayland names no focused window; the keys go to the window all the same.
key() { xdotool key --window "$window" "$@" 2>/dev/null; }

echo "== The game through XWayland"
start_game || fatal "the window appears" "$(tail -n 5 "$game_err")"
pass "the window appears, titled \"$title\""
check "the client area is ${client_narrow/ / x }" "$client_narrow" "$(window_size)"
play_first_paint
play_board
play_deals
play_skins

end_game close
check "the window manager's close request ends it with exit code 1" 1 "$status"
check "the settings are written: the picture skin, no switches, the Easy level" "1 0 0 1" \
  "$(settings_values "$settings" | cut -d' ' -f1,2,3,6)"
check "nothing on stderr" "" "$(grep -v '^$' "$game_err" | head -n 3)"
finish
