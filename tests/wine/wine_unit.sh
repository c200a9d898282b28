#!/usr/bin/env bash
# One of the Windows unit-test programs (build-win32/tests/deradu_core_tests.exe, the portable
# game's tests, or deradu_win32_tests.exe, the Windows back end against Wine's USER32 and GDI32)
# under Wine on a private virtual display, in the Wine prefix wine.sh keeps.
# Usage: tests/wine/wine_unit.sh BUILD_WIN32_DIR TESTS_EXE [GoogleTest options] (or ctest
# --preset wine). Prints "N passed, N failed"; exits non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/support/lib.sh
source "$here/../support/lib.sh"
# shellcheck source=tests/wine/wine_runner.sh
source "$here/wine_runner.sh"

start_wine_script "$0" 900 "BUILD_WIN32_DIR TESTS_EXE [GoogleTest options]" 2 "$@"

exe=$2
suite=$(basename "$exe" .exe)
shift 2
begin_script "wine_${suite#deradu_}"
[ -f "$exe" ] || fatal "$suite.exe is built" "no $exe (cmake --build --preset win32)"
start_virtual_display "$work" || fatal "the virtual display starts"
wine_prefix "$build/wine-prefix" "$build/wine-home" || fatal "Wine's prefix is made"

status=0
wine "$exe" --gtest_brief=1 "$@" >"$work/$suite.log" 2>&1 || status=$?
summary=$(grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$work/$suite.log" | tr '\n' ' ')
if [ "$status" -eq 0 ]; then pass "$suite.exe passes: $summary"; else
  grep -E -A5 'FAILED|Failure' "$work/$suite.log" | head -n 40
  fail "$suite.exe passes" "exit $status; $summary"
fi
wine_elapsed
finish
