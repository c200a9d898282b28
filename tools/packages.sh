#!/usr/bin/env bash
# Debian packages the scripts need, installed only when missing: sourced by the scripts, or run
# by hand with the groups to install (tools/packages.sh build test).

# Package groups: build (compilers, libraries), test (virtual displays, Wayland compositors, with
# XWayland, X resources, input), windows (cross compiler and Wine), bench (peers to measure
# against), web (serving, browsing and checking the help page), pictures (making the help
# page's pictures small).
declare -A DERADU_PACKAGES=(
  [build]="cmake ninja-build g++ pkg-config ccache libx11-dev libfreetype-dev libfontconfig-dev libpng-dev fonts-dejavu-core libbenchmark-dev libwayland-dev wayland-protocols libxkbcommon-dev"
  [test]="libgtest-dev libgmock-dev clang xvfb xauth xdotool x11-utils x11-xkb-utils x11-xserver-utils imagemagick faketime valgrind jwm weston xwayland sway wayvnc wtype grim mutter jq"
  [windows]="g++-mingw-w64-i686 wine wine32:i386"
  # The release (package.sh) and its tests: Debian package and Windows installer tools, validators.
  [package]="dpkg-dev lintian nsis osslsigncode openssl zip unzip desktop-file-utils appstream libgtk-3-bin"
  [bench]="sgt-puzzles gnome-taquin hyperfine"
  [web]="php-cli chromium tidy curl"
  [pictures]="pngquant optipng"
)

ensure_packages() {
  local missing=() group pkg
  for group in "$@"; do
    for pkg in ${DERADU_PACKAGES[$group]}; do
      dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || missing+=("$pkg")
    done
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q >/dev/null
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# Run as a program, it installs the groups it is given: tools/packages.sh build test
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  if [ $# -eq 0 ]; then
    echo "usage: $0 GROUP... (groups: ${!DERADU_PACKAGES[*]})" >&2
    exit 2
  fi
  for group in "$@"; do
    [ -n "${DERADU_PACKAGES[$group]+set}" ] || { echo "$0: no group \"$group\"" >&2; exit 2; }
  done
  ensure_packages "$@"
fi
