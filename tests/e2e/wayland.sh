#!/usr/bin/env bash
# The Linux program in a Wayland session: weston's headless back end with XWayland, whose own
# X window manager frames the window. The shared play's core: a deal, a slide, the keys N, S
# and K, the window manager's close, and the settings written. The headless compositor has no
# pointer, and XWayland without one ends on XTEST input or a pointer warp, so clicks and keys
# are sent to the window, as a window manager forwards them.
# Usage: tests/e2e/wayland.sh BINARY. Prints "N passed, N failed"; exits non-zero on a failure.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 BINARY" >&2
  exit 2
fi
binary=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)

# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
require_tools weston Xwayland xdotool xwininfo import
use_screen_reader "$here/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-wayland.XXXXXX")
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/linux_driver.sh"
compositor_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  [ -n "$compositor_pid" ] && kill -TERM "$compositor_pid" 2>/dev/null &&
    wait "$compositor_pid" 2>/dev/null
  if [ "$failed" -eq 0 ]; then rm -rf "$work"; else echo "Screenshots and logs kept in $work"; fi
}
trap cleanup EXIT

echo "== A Wayland compositor with XWayland"
# The compositor's socket lives in a runtime folder only its user may enter, as a session's
# does. It starts XWayland when the first X client connects and says on which display.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
weston --backend=headless-backend.so --xwayland --socket=deradu-wayland --width=1280 \
  --height=1024 --idle-time=0 --log="$work/weston.log" >/dev/null 2>&1 &
compositor_pid=$!
display=""
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" \
    2>/dev/null | tail -n 1)
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || fatal "weston starts with XWayland" "$(tail -n 5 "$work/weston.log" 2>/dev/null)"
export DISPLAY=$display WAYLAND_DISPLAY=deradu-wayland
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
deal=$(new_deal 0 "")
check_deal() { # name, reading
  if is_deal "$2"; then pass "$1"; else fail "$1" "read '$2'"; fi
}
check_deal "the first paint shows a dealt board" "$deal"

click "${solve[@]}"
check "Solve puts the tiles in order" "$solved" "$(board_becomes 0 "$solved")"
slid="1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"
click $((board_left + cell * 2 + cell / 2)) $((board_top + cell * 3 + cell / 2))
check "a click on the tile beside the blank slides it" "$slid" "$(board_becomes 0 "$slid")"

key "$key_new_game"
deal=$(new_deal 0 "$slid")
check_deal "key N deals a new board" "$deal"
key "$key_solve"
check "key S solves" "$solved" "$(board_becomes 0 "$solved")"
key "$key_skin_and_repaint"
check "key K shows the picture skin at once" "$solved" "$(board_becomes 1 "$solved")"

end_game close
check "the window manager's close request ends it with exit code 1" 1 "$status"
check "the settings are written: the picture skin, no switches, the Medium level" "1|0|0|2" \
  "$(sed -n '1p;2p;3p;6p' "$settings" 2>/dev/null | tr -d ' ' | tr '\n' '|' | sed 's/|$//')"
check "nothing on stderr" "" "$(grep -v '^$' "$game_err" | head -n 3)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
