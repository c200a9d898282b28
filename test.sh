#!/usr/bin/env bash
# Installs what is missing, builds both programs and runs every test. Exits non-zero on failure.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build test windows web

jobs=2
configure() { # dir, extra cmake args...
  local dir=$1; shift
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@" >/dev/null
}

echo "== Linux program (Release)"
configure build -DCMAKE_BUILD_TYPE=Release -DDERADU_TESTS=OFF -DDERADU_BENCH=ON
ninja -C build -j$jobs

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
configure build-asan -DCMAKE_BUILD_TYPE=Debug -DDERADU_SANITIZE=ON
# Also builds the end-to-end scripts' screen reader (build-asan/tests/deradu_screen_reader); the
# scripts below fail without it.
ninja -C build-asan -j$jobs
(cd build-asan && ctest --output-on-failure -j$jobs)

echo "== End-to-end: Linux program on a virtual display"
tests/e2e/linux.sh "$root/build/deradu"

echo "== Settings files the program cannot read or write"
tests/e2e/settings_faults.sh "$root/build/deradu"

echo "== The help page: served by PHP, opened in Chromium, reached from the program's Help"
tests/web/help_page.sh "$root/build/deradu"

echo "== Memcheck: a played run of the Linux program"
tests/e2e/valgrind_linux.sh "$root/build/deradu"

if [ -f cmake/mingw-i686.cmake ]; then
  echo "== Windows program (MinGW-w64, i686)"
  configure build-win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
  ninja -C build-win32 -j$jobs
  if [ -x tests/e2e/wine.sh ]; then
    echo "== End-to-end: Windows program under Wine"
    tests/e2e/wine.sh "$root/build-win32"
  fi
fi
echo "== Packages, built twice and compared byte for byte"
./package.sh --check

echo "== The Debian package: contents, lintian, validators, Depends, the unpacked program"
tests/e2e/package_linux.sh "$root/dist" "$root/build-package"

echo "== The Windows zip, and the installer under Wine"
tests/e2e/package_windows.sh "$root/dist" "$root/build-package"
echo "== All tests passed"
