#!/usr/bin/env bash
# Memcheck on a played run of the Linux program on a private virtual display: the shared play's
# first start through every command that does not leave the window (scenario.sh), presses on
# cell edges, Hard, the moves label and the arrow keys, then SIGTERM. Passes when the program
# ended in order (exit code 1) with no invalid access, no use of uninitialised memory and
# nothing definitely lost. A program built with the sanitizers is skipped (exit code 77): they
# check the same, and valgrind cannot run it.
# Usage: tests/e2e/valgrind_linux.sh PROGRAM [SCREEN_READER]. Keeps the valgrind log on failure.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
use_program "${1:-}"
if sanitized; then
  echo "$binary is built with the sanitizers; memcheck runs on the Release program"
  exit 77
fi
begin_script memcheck
require_tools valgrind Xvfb xdotool xwininfo xprop import cc
use_screen_reader "$here/../.." "${2:-}"
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/linux_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$here/scenario.sh"
# The program runs some twenty times slower under valgrind.
wait_seconds=$((wait_seconds * 4))

start_virtual_display "$work" || fatal "the virtual display starts"
# The help page must not open a browser here.
install_url_recorder "$work"
build_close_helper "$work"

# Definite leaks count as errors. No suppressions are needed: the X, FreeType and fontconfig
# libraries' one-time allocations are all still reachable at exit. A child forked to start the
# URL opener holds a copy of the program's heap until it execs or exits, so its report would
# say nothing.
log="$work/valgrind.log"
echo "== The first start under memcheck"
start_game valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
  --errors-for-leak-kinds=definite --error-exitcode=99 --num-callers=40 \
  --child-silent-after-fork=yes --log-file="$log" ||
  fatal "the window appears under valgrind" "$(tail -n 5 "$game_err")"
play_first_window

echo "== Presses on cell edges, Hard, the moves label, the arrow keys"
slowly() { "$@"; sleep 0.4; }
middle=$((cell / 2))
# Two presses fall on a cell's left and top edge.
slowly click $((board_left + 3 * cell)) $((board_top + 2 * cell + middle))
slowly click $((board_left + 3 * cell + middle)) $((board_top + 3 * cell))
slowly click "${hard[@]}"
slowly click "${moves_label[@]}"
for arrow in Left Up Right Down; do slowly key "$arrow"; done
check "the arrow keys still leave a valid deal of Hard" yes \
  "$(is_deal "$(fresh_board 1)" && echo yes)"

end_game TERM
check "SIGTERM ends the game with exit code 1 (99: memcheck found errors)" 1 "$status"
# Hard was clicked, so the level stored at the end shows that the clicks reached the program.
check "the settings are written with the Hard level" 3 \
  "$(settings_values "$settings" | cut -d' ' -f6)"
# The largest figure of any report in the log (there should be one).
largest() { sed -n "s/.*$1 \([0-9,]*\) .*/\1/p" "$log" | tr -d , | sort -n | tail -n 1; }
definitely=$(largest 'definitely lost:')
grep -q 'All heap blocks were freed' "$log" && definitely=0
check "memcheck: no invalid access, no uninitialised value" 0 "$(largest 'ERROR SUMMARY:')"
check "memcheck: nothing definitely lost" 0 "$definitely"
if [ "$failed" -gt 0 ]; then
  grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)' "$log" |
    sort | uniq -c | head -n 20
fi
finish
