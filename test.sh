#!/usr/bin/env bash
# Installs what is missing, builds both programs and runs every test. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")"

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build test windows web

# Every part runs; a part whose files are missing fails the run rather than being left out.
# The three configurations and the test sets are the presets of CMakePresets.json: release
# (build/), asan (build-asan/) and win32 (build-win32/); every test, script or not, runs
# through ctest.
build() { # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}
# Runs a test preset; a failure ends the run. The tests it ran are added to the closing count.
ran=0
run_tests() { # preset
  local summary
  summary=$(mktemp)
  ctest --preset "$1" | tee "$summary"
  ran=$((ran + $(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$summary")))
  rm -f "$summary"
}

echo "== Linux program (Release)"
build release

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer, the layers, the displays"
build asan
run_tests asan

echo "== The Release program end to end: X11, Wayland, settings faults, memcheck, the help page"
run_tests e2e

echo "== Windows program (MinGW-w64, i686), and its tests under Wine"
if [ ! -f cmake/mingw-i686.cmake ]; then
  echo "cmake/mingw-i686.cmake is missing: the Windows program cannot be built" >&2
  exit 1
fi
build win32
run_tests wine

echo "== Packages, built twice and compared byte for byte, then installed and tested"
./package.sh --check
run_tests package
echo "== All tests passed"
echo "$ran passed, 0 failed"
