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
work=$(mktemp -d)
# shellcheck source=tools/virtual_display.sh
source tools/virtual_display.sh
game_pid=""
cleanup() {
  if [ -n "$game_pid" ]; then kill -TERM "$game_pid" 2>/dev/null || true; fi
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
start_virtual_display "$work" || exit 1

build/deradu &
game_pid=$!
window=$(timeout 20 xdotool search --sync --name '^Qor Deradu 1\.0$' | head -n 1) || true
if [ -z "$window" ]; then
  echo "The game's window did not appear" >&2
  exit 1
fi
# Give the first paint time to reach the screen.
sleep 1
import -window "$window" build/screenshot.png

# SIGTERM is an orderly end: the game stores its settings and exits with 1.
kill -TERM "$game_pid"
status=0
timeout 20 tail --pid="$game_pid" -f /dev/null || true
wait "$game_pid" || status=$?
game_pid=""
echo "The game ran and closed with exit code $status (1 is an ordinary close)."
echo "Screenshot of its window: $root/build/screenshot.png"
