#!/usr/bin/env bash
# Builds the release from a clean configuration into dist/: the Debian package, the Windows
# program's portable zip and its installer. Installs what is missing first (Debian packages).
# Time stamps come from the last commit (SOURCE_DATE_EPOCH), so the same commit gives the same
# bytes, with or without ccache. --check builds everything twice, once through ccache and once
# without it, and compares the two results byte for byte. dist/SHA256SUMS lists the three.
# Given a certificate, it signs deradu.exe, the uninstaller and the installer (the options set the
# DERADU_SIGN_ variables that packaging/windows/sign.sh describes).
set -euo pipefail

usage() {
  echo "usage: $0 [--check] [--sign-cert PEM --sign-key PEM | --sign-pkcs12 FILE]" \
    "[--sign-timestamp URL]" >&2
  exit 2
}
check=0
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1 ;;
    --sign-cert) [ $# -ge 2 ] || usage; DERADU_SIGN_CERT=$(realpath "$2"); shift ;;
    --sign-key) [ $# -ge 2 ] || usage; DERADU_SIGN_KEY=$(realpath "$2"); shift ;;
    --sign-pkcs12) [ $# -ge 2 ] || usage; DERADU_SIGN_PKCS12=$(realpath "$2"); shift ;;
    --sign-timestamp) [ $# -ge 2 ] || usage; DERADU_SIGN_TIMESTAMP=$2; shift ;;
    *) usage ;;
  esac
  shift
done
export DERADU_SIGN_CERT DERADU_SIGN_KEY DERADU_SIGN_PKCS12 DERADU_SIGN_TIMESTAMP
cd "$(dirname "$0")"
root=$PWD

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build windows package

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null) ||
    SOURCE_DATE_EPOCH=$(stat -c %Y "$root/CMakeLists.txt")
fi
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C.UTF-8
# No base folder: ccache would hand the compiler relative paths, which end up in the debug
# information and so in the build id that stripping keeps, and the bytes would depend on
# whether ccache was used. -ffile-prefix-map below keeps the checkout's place out instead.
export CCACHE_BASEDIR=
umask 022
# The checkout's path as one shell word inside the compiler flags (it may hold spaces).
prefix_map="-ffile-prefix-map=$(printf %q "$root")=."

work="$root/build-package"
dist="$root/dist"
jobs=2

configure() { # dir, extra cmake args...
  local dir=$1; shift
  rm -rf "$dir"
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDERADU_TESTS=OFF \
    -DDERADU_TOOLS=OFF "$@" >/dev/null
}

# Sets every time stamp under a folder to the commit's.
stamp() { find "$1" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +; }

# Text for Windows readers: CR LF line ends.
crlf() { sed 's/\r$//; s/$/\r/' "$1" >"$2"; }

build_deb() {
  local build="$work/linux" stage="$work/deb-root" meta
  echo "== Linux program and its Debian package"
  # The distribution's hardening flags, and source paths made relative so the binary does not
  # depend on where the tree was checked out. Debian keeps games in /usr/games (a plain
  # `cmake --install` puts the program in bin/); the menu entry names it by that full path.
  local cxxflags ldflags
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) $prefix_map"
  ldflags=$(dpkg-buildflags --get LDFLAGS)
  configure "$build" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games
  ninja -C "$build" -j$jobs deradu
  meta="$build/packaging"
  # shellcheck source=/dev/null
  source "$meta/release.env"

  rm -rf "$stage"
  DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
  strip --remove-section=.comment --remove-section=.note "$stage/usr/games/deradu"
  # What Debian's tools would do: compressed manual page, changelog and larger documents.
  local doc="$stage/usr/share/doc/deradu"
  gzip -9n "$stage/usr/share/man/man6/deradu.6"
  gzip -9nc "$meta/debian/changelog" >"$doc/changelog.Debian.gz"
  find "$doc" -type f ! -name copyright ! -name '*.gz' -size +4k -exec gzip -9n {} +
  install -D -m 0644 "$root/packaging/debian/lintian-overrides" \
    "$stage/usr/share/lintian/overrides/deradu"
  find "$stage" -type d -exec chmod 0755 {} +
  find "$stage" -type f -exec chmod 0644 {} +
  chmod 0755 "$stage/usr/games/deradu"

  # Depends: the packages of the libraries the program links, found by dpkg-shlibdeps. The
  # libraries it opens only when a run needs them (the display system it finds, the font
  # renderer) are no NEEDED entries: their sonames and the names of the functions it takes from
  # them stand in its read-only data, and a stub that links those libraries and calls those
  # functions gives dpkg-shlibdeps their packages and the versions the functions need.
  mkdir -p "$stage/DEBIAN"
  local program="$stage/usr/games/deradu" stub="$work/opened-at-run-time" opened words library taken
  opened=$(strings -n 8 "$program" | { grep -xE 'lib[A-Za-z0-9_+-]+\.so\.[0-9]+' || true; } |
    LC_ALL=C sort -u)
  rm -f "$stub" "$stub.c"
  if [ -n "$opened" ]; then
    words=$(strings -n 3 "$program" | grep -xE '[A-Za-z_][A-Za-z0-9_]*' | LC_ALL=C sort -u)
    taken=$(for library in $opened; do
      nm -D --defined-only "$(gcc -print-file-name="$library")" | awk '$2 == "T" { print $3 }' |
        sed 's/@.*//' | LC_ALL=C sort -u | LC_ALL=C comm -12 - <(echo "$words")
    done)
    {
      sed -n 's/..*/extern void &(void);/p' <<<"$taken"
      echo 'int main(void) { return 0; }'
      echo 'void (*const deradu_opened[])(void) = {'
      sed -n 's/..*/  &,/p' <<<"$taken"
      echo '};'
    } >"$stub.c"
    # shellcheck disable=SC2046 # one -l: option per soname
    gcc -w -o "$stub" "$stub.c" -Wl,--no-as-needed $(printf -- '-l:%s ' $opened)
  fi
  (cd "$meta" &&
    rm -f debian/substvars debian/files &&
    dpkg-shlibdeps -Tdebian/substvars -e"$program" ${opened:+-e"$stub"} 2>&1 |
      { grep -v 'should already be installed\|could avoid a useless dependency' || true; } >&2 &&
    dpkg-gencontrol -pderadu -P"$stage" -Tdebian/substvars)
  (cd "$stage" && find usr -type f | LC_ALL=C sort | xargs md5sum >DEBIAN/md5sums)
  chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
  stamp "$stage"
  dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$stage" \
    "$dist/deradu_${deb_version}_$(dpkg --print-architecture).deb" >/dev/null
}

build_windows() {
  local build="$work/win32" payload
  echo "== Windows program, its zip and its installer"
  # -s: the program ships without its symbol table and debug information (the linker leaves
  # them out, so no later tool rewrites the file).
  configure "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_CXX_FLAGS="$prefix_map" -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s
  ninja -C "$build" -j$jobs deradu
  # shellcheck source=/dev/null
  source "$build/packaging/release.env"

  # The zip unpacks into one folder named after the release.
  local folder="deradu-$version"
  payload="$work/win32-payload/$folder"
  rm -rf "$work/win32-payload"
  mkdir -p "$payload"
  cp "$build/deradu.exe" "$payload/deradu.exe"
  packaging/windows/sign.sh "$product_name" "$homepage" "$payload/deradu.exe"
  crlf "$root/LICENSE" "$payload/LICENSE.txt"
  # For players: what the game is, its keys, its settings, removing it (written by CMake).
  crlf "$build/packaging/README.txt" "$payload/README.txt"
  crlf "$root/THIRD-PARTY-NOTICES.txt" "$payload/THIRD-PARTY-NOTICES.txt"
  crlf "$root/NEWS" "$payload/NEWS.txt"
  stamp "$work/win32-payload"

  # -X: no extra fields (owners, Unix times); the names in a fixed order.
  (cd "$work/win32-payload" && zip -X -9 -q "$dist/deradu-$version-win32.zip" "$folder/" \
    "$folder/deradu.exe" "$folder/LICENSE.txt" "$folder/README.txt" \
    "$folder/THIRD-PARTY-NOTICES.txt" "$folder/NEWS.txt")

  packaging/windows/installer.sh "$build/packaging/release.env" "$payload" \
    "$dist/deradu-$version-setup.exe"
}

build_all() {
  rm -rf "$dist"
  mkdir -p "$dist" "$work"
  build_deb
  build_windows
  (cd "$dist" && sha256sum -- *.deb *.zip *setup.exe >SHA256SUMS)
  echo "== Written to dist/ (time stamps of $(date -u -d "@$SOURCE_DATE_EPOCH" '+%F %T') UTC)"
  (cd "$dist" && ls -l)
}

build_all
if [ "$check" -eq 1 ]; then
  first="$work/first"
  rm -rf "$first"
  mkdir -p "$first"
  cp -p "$dist"/* "$work/win32/deradu.exe" "$first/"
  echo "== Second build, without ccache, for the comparison"
  CCACHE_DISABLE=1 build_all >/dev/null
  cp -p "$work/win32/deradu.exe" "$work/deradu.exe.second"
  differ=0
  for file in "$dist"/*.deb "$dist"/*.zip "$work/deradu.exe.second" "$dist"/*setup.exe; do
    name=$(basename "$file" .second)
    if cmp -s "$first/$name" "$file"; then
      echo "  same bytes  $name"
    else
      echo "  DIFFERENT   $name"
      differ=1
    fi
  done
  rm -rf "$first" "$work/deradu.exe.second"
  [ "$differ" -eq 0 ] || { echo "The two builds differ" >&2; exit 1; }
fi
