#!/usr/bin/env bash
# Tests of the Debian package as a user gets it: its file list, lintian, the validators on the
# desktop entry and the AppStream metadata, its Depends against the libraries the program
# loads, its icons, the program's command-line options, and the program unpacked into a
# throwaway root (never the machine's own system) on a private virtual display, started once
# directly and once through its menu entry.
# Usage: tests/package/package_linux.sh [DIST_DIR [PACKAGE_BUILD_DIR]] (what ./package.sh
# writes and builds in: ${DERADU_DIST:-dist} and build-package), or ctest --preset package.
# Prints "N passed, N failed"; exits non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"
dist=${1:-${DERADU_DIST:-$root/dist}}
build=${2:-$root/build-package}

begin_script package_linux
[ -f "$build/linux/packaging/release.env" ] ||
  fatal "./package.sh has built the release" "no $build/linux/packaging/release.env"
# shellcheck source=/dev/null
source "$build/linux/packaging/release.env"
deb=$(ls "$dist"/deradu_*_amd64.deb 2>/dev/null | head -n 1)

echo "== The Debian package"
[ -n "$deb" ] || fatal "./package.sh wrote $dist/deradu_*_amd64.deb"
check "its name carries the project's version" "deradu_${deb_version}_amd64.deb" "$(basename "$deb")"

# Documents are compressed once they pass 4 kB, as Debian's tools do.
icon_sizes="16 24 32 48 64 128 256"
icon() { echo "usr/share/icons/hicolor/${1}x$1/apps/$app_id.png"; }
expected_files=$(printf './%s\n' usr/games/deradu "usr/share/applications/$app_id.desktop" \
  usr/share/doc/deradu/{NEWS,README.md,THIRD-PARTY-NOTICES.txt,changelog.Debian.gz,copyright} \
  $(for size in $icon_sizes; do icon "$size"; done) usr/share/lintian/overrides/deradu \
  usr/share/man/man6/deradu.6.gz "usr/share/metainfo/$app_id.metainfo.xml")
actual_files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' |
  sed -E 's#/(README\.md|NEWS|THIRD-PARTY-NOTICES\.txt)\.gz$#/\1#' | LC_ALL=C sort)
check "it holds the program, menu entry, metadata, icons, manual page and documents" \
  "$(LC_ALL=C sort <<<"$expected_files")" "$actual_files"
check "every file belongs to root and none is writable by others" "" \
  "$(dpkg-deb -c "$deb" | awk '$2 != "root/root" || $1 ~ /w.$/ || $1 ~ /^.....w/')"

check_that "lintian reports no errors or warnings" lintian --fail-on error,warning "$deb"

unpacked="$work/root"
dpkg-deb -x "$deb" "$unpacked"
program="$unpacked/usr/games/deradu"
entry="usr/share/applications/$app_id.desktop"
metadata="usr/share/metainfo/$app_id.metainfo.xml"
check_that "desktop-file-validate accepts the menu entry" desktop-file-validate "$unpacked/$entry"
check_that "appstreamcli validate accepts the metadata" \
  appstreamcli validate --no-net "$unpacked/$metadata"
check "the package recommends xdg-utils, which the Help button runs" "xdg-utils" \
  "$(dpkg-deb -f "$deb" Recommends)"
# name | file in the package (a pattern: the news may be compressed) | a line it has
while IFS='|' read -r name file line; do
  check "$name" "1" "$(zcat -f "$unpacked"/$file | grep -c -e "$line")"
done <<EOF
the menu entry groups the running window with it|$entry|^StartupWMClass=winMain\$
the menu entry runs the program by its full path, as /usr/games is not on every PATH|$entry|^Exec=/usr/games/deradu\$
the copyright file names the third-party notices|usr/share/doc/deradu/copyright|THIRD-PARTY-NOTICES
the news has the release's entry|usr/share/doc/deradu/NEWS*|^$product_name $version 
the metadata's release is the project's version|$metadata|<release version="$version"
EOF
check "the manual page reads without warnings" "" \
  "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$unpacked/usr/share/man/man6/deradu.6.gz" 2>&1 >/dev/null)"

# ---------------------------------------------------------------------------------------------
echo "== The icons"
# Each has an alpha channel and a transparent corner; above 32 pixels, none is the same picture
# as its own 32-pixel sampling enlarged again (which a blown-up small icon is).
icon_faults=""
for size in $icon_sizes; do
  icon="$unpacked/$(icon "$size")"
  facts=$(identify -format '%wx%h %[channels] %[pixel:p{0,0}]' "$icon" 2>&1)
  [ "$facts" = "${size}x$size srgba srgba(0,0,0,0)" ] || icon_faults+=" $size: $facts;"
  if [ "$size" -gt 32 ]; then
    blocky=$(convert "$icon" -sample 32x32 -sample "${size}x$size" png:- |
      compare -metric AE "$icon" - null: 2>&1)
    [ "${blocky%% *}" != 0 ] || icon_faults+=" $size: a 32-pixel icon enlarged;"
  fi
done
check "every size has alpha, a transparent margin and is drawn at its size" "" "$icon_faults"

# ---------------------------------------------------------------------------------------------
echo "== Depends and the libraries the program loads"
depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | grep -v '^$' | sort -u)
# The package that owns a library file. With a merged /usr, dpkg may know the file by its /lib
# or its /usr/lib name, and the loader may name either, or a link to it.
owner() {
  local real candidate
  real=$(realpath "$1")
  for candidate in "$1" "$real" "${real#/usr}" "/usr${1#/usr}"; do
    dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 | grep . && return
  done
}
ldd "$program" >"$work/ldd.txt" 2>&1
# What it links, and the sonames it opens when a run needs them (kept in its read-only data).
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
  strings -n 8 "$program" | grep -xE 'lib[A-Za-z0-9_+-]+\.so\.[0-9]+' || true)
missing=""
for library in $needed; do
  path=$( { awk -v l="$library" '$1 == l && $3 ~ /^\// { print $3 } $1 ~ "/" l "$" { print $1 }' \
    "$work/ldd.txt"; ldconfig -p | awk -v l="$library" '$1 == l { print $NF }'; } | head -n 1)
  package=$([ -n "$path" ] && owner "$path")
  grep -qx "${package:-?}" <<<"$depends" || missing+=" $library(${package:-no package})"
done
check "every library the program links or opens belongs to a package in Depends" "" "$missing"
# Those packages' own dependencies bring in the rest of what ldd shows.
closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances $depends 2>/dev/null | sed -n 's/^ *\(Pre\)\?Depends: <\?\([^>]*\)>\?$/\2/p; s/^\([^ ].*\)$/\1/p' |
  sed 's/:.*//' | sort -u)
unreached=""
for path in $(awk '$3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' "$work/ldd.txt"); do
  package=$(owner "$path")
  grep -qx "${package:-?}" <<<"$closure" || unreached+=" $(basename "$path")(${package:-no package})"
done
check "every library ldd shows comes with Depends or their dependencies" "" "$unreached"

# ---------------------------------------------------------------------------------------------
echo "== Command-line options (without a display, so none may try to open the window)"
# What a stream holds: "empty", "as expected" when a line matches the pattern, else its start.
holds() { # file, pattern
  if [ ! -s "$1" ]; then echo empty; elif grep -q -e "$2" "$1"; then echo "as expected"
  else head -c 80 "$1"; fi
}
# name | arguments | exit code | standard output | standard error ("-": empty)
while IFS='|' read -r name arguments code out err; do
  status=0
  # shellcheck disable=SC2086
  env -u DISPLAY "$program" $arguments >"$work/options.out" 2>"$work/options.err" || status=$?
  expected_out="as expected"; [ "$out" = - ] && expected_out=empty
  expected_err="as expected"; [ "$err" = - ] && expected_err=empty
  check "$name" "exit $code, out: $expected_out, err: $expected_err" \
    "exit $status, out: $(holds "$work/options.out" "$out"), err: $(holds "$work/options.err" "$err")"
done <<EOF
--version prints the name and version and ends 0|--version|0|^$product_name $version\$|-
--help prints the usage and the keys and ends 0|--help|0|^  Left Right Up Down|-
an unknown option prints the usage on standard error and ends 2|--bogus|2|-|^Usage: deradu
a stray argument is refused the same way|--version extra|2|-|^Usage: deradu
EOF
check "--help starts with the usage" "Usage: deradu [--help | --version]" \
  "$(env -u DISPLAY "$program" --help | head -n 1)"

# ---------------------------------------------------------------------------------------------
echo "== The unpacked program on a virtual display"
start_virtual_display "$work" || fatal "the virtual display starts"
build_close_helper "$work"
config="$work/config"
XDG_CONFIG_HOME="$config" "$program" >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
started "$game_pid"
if ! window=$(wait_window "$game_pid"); then
  fail "the installed program shows its window" "$(tail -n 3 "$work/game.err")"
else
  pass "the installed program shows its window"
  check "its X11 class is winMain, as the menu entry says" '"winMain", "winMain"' \
    "$(window_property WM_CLASS)"
  check "its icon property is set" "set" \
    "$(xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (' && echo set)"
  "$close_helper" "$window"
  wait_exit "$game_pid"
  check "a close request ends it with exit code 1" 1 "$status"
  check_that "and it wrote its settings file" test -s "$(settings_file "$config")"
fi

# ---------------------------------------------------------------------------------------------
echo "== The menu entry, launched as a desktop launches it"
# gtk-launch finds the entry by its id and runs its Exec line with a session's minimal PATH,
# which lacks /usr/games. The package's /usr/games is lent to /usr/games in a private mount
# namespace, so the machine's own system stays untouched (that needs root).
if [ "$(id -u)" -ne 0 ] || [ ! -d /usr/games ] || ! command -v gtk-launch >/dev/null; then
  echo "  skip  launching the menu entry (needs root, /usr/games and gtk-launch)"
else
  unshare --mount --propagation private sh -c 'mount --bind "$1" /usr/games && shift && exec "$@"' sh \
    "$unpacked/usr/games" env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$work/home" \
    XDG_DATA_DIRS="$unpacked/usr/share" XDG_CONFIG_HOME="$config" XDG_CACHE_HOME="$work/cache" \
    gtk-launch "$app_id" >"$work/launch.log" 2>&1
  if window=$(wait_window -); then
    pass "gtk-launch $app_id with PATH=/usr/bin:/bin shows the window"
    # No child of this script, so not the cleanup's to end.
    launched=$(xprop -id "$window" _NET_WM_PID | sed -n 's/.* = //p')
    "$close_helper" "$window"
    timeout "$wait_seconds" tail --pid="$launched" -f /dev/null || kill -KILL "$launched"
  else
    fail "gtk-launch $app_id with PATH=/usr/bin:/bin shows the window" "$(head -n 3 "$work/launch.log")"
  fi
fi

finish
