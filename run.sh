#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts it. With no display it runs the
# program on a virtual one, saves a screenshot of the window and closes the program again.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build

echo "== Building build/deradu"
# The release preset, which ./test.sh builds too, so neither makes the other rebuild.
cmake --preset release >/dev/null
cmake --build --preset release --target deradu

display_usable() {
  [ -n "${DISPLAY:-}" ] || return 1
  # Without xdpyinfo a set DISPLAY is taken at its word; the program reports it if it is wrong.
  command -v xdpyinfo >/dev/null 2>&1 || return 0
  timeout 10 xdpyinfo >/dev/null 2>&1
}

# The program is an X client; a Wayland desktop offers it XWayland through DISPLAY.
if display_usable; then
  echo "== Starting the game"
  status=0
  build/deradu || status=$?
  # 1 is the program's exit code after an ordinary close.
  [ "$status" -eq 1 ] && exit 0
  exit "$status"
fi

echo "== No usable display (DISPLAY='${DISPLAY:-}'): running the game on a virtual display"
ensure_packages test
# shellcheck source=tests/support/lib.sh
source tests/support/lib.sh
begin_script run
start_virtual_display "$work"
build/deradu &
game_pid=$!
started "$game_pid"
window=$(wait_window "$game_pid") || fatal "the game's window appears"
# Give the first paint time to reach the screen.
sleep 1
import -window "$window" build/screenshot.png

# SIGTERM is an orderly end: the game stores its settings and exits with 1.
kill -TERM "$game_pid"
wait_exit "$game_pid"
echo "The game ran and closed with exit code $status (1 is an ordinary close)."
echo "Screenshot of its window: $root/build/screenshot.png"
