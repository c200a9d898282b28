#!/usr/bin/env bash
# Memcheck on a short played run of the Linux program on a private virtual display: a few
# clicks and keys through every command that does not leave the window, then SIGTERM. Passes
# when the program ended in order (exit code 1) with no invalid access, no use of uninitialised
# memory and nothing definitely lost.
# Usage: tests/e2e/valgrind_linux.sh BINARY. Keeps the valgrind log on failure.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 BINARY" >&2
  exit 2
fi
binary=$(realpath "$1")
command -v valgrind >/dev/null || { echo "valgrind is not installed" >&2; exit 2; }

# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
use_screen_reader "$(dirname "$0")/../.."
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-valgrind.XXXXXX")
game_pid=""
status=1
cleanup() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
  stop_virtual_display
  if [ "$status" -eq 0 ] && [ -z "${KEEP:-}" ]; then rm -rf "$work"; else echo "The valgrind log is kept in $work"; fi
}
trap cleanup EXIT

start_virtual_display "$work" || fatal "the virtual display starts"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
# The help page must not open a browser here.
install_url_recorder "$work"

# Definite leaks count as errors. No suppressions are needed: the X, FreeType and fontconfig
# libraries' one-time allocations are all still reachable at exit. A child forked to start the
# URL opener holds a copy of the program's heap until it execs or exits, so its report would
# say nothing.
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40 \
  --child-silent-after-fork=yes \
  --log-file="$work/valgrind.log" \
  "$binary" &
game_pid=$!

window=$(timeout 120 xdotool search --sync --name "^${title//./\\.}\$" 2>/dev/null | head -n 1)
if [ -z "$window" ]; then
  echo "FAIL: the window did not appear under valgrind"
  exit 1
fi
sleep 2

click() { # x y in the client area
  xdotool mousemove --window "$window" "$1" "$2" click 1
  sleep 0.4
}
key() {
  xdotool key --window "$window" "$1"
  sleep 0.4
}
# Board cells, Hard, Solve, a slide, Picture, Show (wide) and Hide, the two window flags, Help,
# the moves label, then the keys.
# Two presses fall on a cell's left and top edge.
middle=$((cell / 2))
click $((board_left + middle)) $((board_top + middle))
click $((board_left + cell + middle)) $((board_top + cell + middle))
click $((board_left + 3 * cell)) $((board_top + 2 * cell + middle))
click $((board_left + 3 * cell + middle)) $((board_top + 3 * cell + middle))
click "${hard[@]}"; click "${solve[@]}"
click $((board_left + 3 * cell + middle)) $((board_top + 3 * cell))
click "${picture[@]}"; click "${show[@]}"; click "${show[@]}"
click "${transparency[@]}"; click "${transparency[@]}"
click "${keep_on_top[@]}"; click "${keep_on_top[@]}"
click "${help[@]}"; click "${moves_label[@]}"
key "$key_new_game"; key "$key_solve"; key "$key_skin_and_repaint"; key "$key_skin"
key Left; key Up; key Right; key Down
sleep 1

kill -TERM "$game_pid"
exit_code=0
timeout 120 tail --pid="$game_pid" -f /dev/null
wait "$game_pid" || exit_code=$?
game_pid=""

log="$work/valgrind.log"
# The largest figure of any report in the log (there should be one).
largest() { sed -n "s/.*$1 \([0-9,]*\) .*/\1/p" "$log" | tr -d , | sort -n | tail -n 1; }
definitely=$(largest 'definitely lost:')
errors=$(largest 'ERROR SUMMARY:')
grep -q 'All heap blocks were freed' "$log" && definitely=0
# Hard was clicked, so the level stored at the end shows that the clicks reached the program.
level=$(sed -n '6p' "$XDG_CONFIG_HOME/qor/revaziriv/revAziriv.ini" 2>/dev/null)
echo "exit code $exit_code, definitely lost ${definitely:-?} bytes, ${errors:-?} errors, level saved ${level:-none}"
if [ "$exit_code" -eq 1 ] && [ "${definitely:-x}" = 0 ] && [ "${errors:-x}" = 0 ] &&
  [ "$level" = 3 ]; then
  status=0
  echo "ok    memcheck: no invalid access, nothing definitely lost"
else
  echo "FAIL  memcheck"
  grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)' "$log" |
    sort | uniq -c | head -n 20
fi
exit "$status"
