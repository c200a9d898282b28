#!/usr/bin/env bash
# Installs what is missing, builds both programs and runs every test. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build test windows web

# Every part runs; a part whose files are missing fails the run rather than being left out.
# The three configurations are the presets of CMakePresets.json: release (build/), asan
# (build-asan/) and win32 (build-win32/).
build() { # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

echo "== Layers: every include and every link follows the arrows"
tools/check_layers.sh

echo "== Linux program (Release)"
build release

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
# Also builds the end-to-end scripts' screen reader (build-asan/tests/deradu_screen_reader); the
# scripts below fail without it.
build asan
ctest --preset asan

echo "== End-to-end: Linux program on a virtual display"
tests/e2e/linux.sh "$root/build/deradu"

echo "== End-to-end: the Linux program in a Wayland session (weston, XWayland)"
tests/e2e/wayland.sh "$root/build/deradu"

echo "== Settings files the program cannot read or write"
tests/e2e/settings_faults.sh "$root/build/deradu"

echo "== The help page: served by PHP, opened in Chromium, reached from the program's Help"
tests/web/help_page.sh "$root/build/deradu"

echo "== Memcheck: a played run of the Linux program"
tests/e2e/valgrind_linux.sh "$root/build/deradu"

echo "== Windows program (MinGW-w64, i686)"
if [ ! -f cmake/mingw-i686.cmake ]; then
  echo "cmake/mingw-i686.cmake is missing: the Windows program cannot be built" >&2
  exit 1
fi
build win32

echo "== End-to-end: Windows program under Wine"
tests/e2e/wine.sh "$root/build-win32"
echo "== Packages, built twice and compared byte for byte"
./package.sh --check

echo "== The Debian package: contents, lintian, validators, Depends, the unpacked program"
tests/e2e/package_linux.sh "$root/dist" "$root/build-package"

echo "== The Windows zip, and the installer under Wine"
tests/e2e/package_windows.sh "$root/dist" "$root/build-package"
echo "== All tests passed"
