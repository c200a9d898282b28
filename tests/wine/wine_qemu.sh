#!/usr/bin/env bash
# Prints the path of an i386 user-mode emulator that runs 32-bit Wine at a usable speed, for
# machines whose kernel runs no 32-bit code. QEMU before 8.1 searches guest memory page by page
# on every mapping, which makes each Wine process take minutes; Debian's backports have a newer
# one, fetched here with apt into CACHE_DIR without touching the system's package state.
# Usage: tests/wine/wine_qemu.sh CACHE_DIR. Exits non-zero when there is none to be had.
set -euo pipefail

cache=$(mkdir -p "$1" && cd "$1" && pwd)

recent_enough() { # emulator
  local version
  version=$("$1" --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\.\([0-9]*\).*/\1 \2/p;q')
  [ -n "$version" ] || return 1
  set -- $version
  [ "$1" -gt 8 ] || { [ "$1" -eq 8 ] && [ "$2" -ge 1 ]; }
}

for candidate in "$cache/qemu-i386" "$(command -v qemu-i386 || true)" \
                 "$(command -v qemu-i386-static || true)"; do
  if [ -n "$candidate" ] && [ -x "$candidate" ] && recent_enough "$candidate"; then
    echo "$candidate"
    exit 0
  fi
done

# The static build in the package qemu-user of this release's backports needs no library. apt
# is pointed at a copy of the machine's own sources (sources.list and sources.list.d, one-line
# and deb822 alike) in which the release's suite is its backports; the copy lives in a folder
# of its own outside the tree and goes when the script ends.
. /etc/os-release
release="${VERSION_CODENAME:?no release name in /etc/os-release}"
suite="$release-backports"
apt_dir=$(mktemp -d "${TMPDIR:-/tmp}/deradu-qemu-apt.XXXXXX")
trap 'rm -rf "$apt_dir"' EXIT
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/sources.list.d"
# The suite as a whole word: "bookworm" becomes "bookworm-backports", "bookworm-security" stays.
to_backports=(sed -E "s/(^|[[:space:]])$release([[:space:]]|\$)/\1$suite\2/g")
if [ -f /etc/apt/sources.list ]; then
  "${to_backports[@]}" /etc/apt/sources.list >"$apt_dir/sources.list"
else
  : >"$apt_dir/sources.list"
fi
for source in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -f "$source" ] && "${to_backports[@]}" "$source" >"$apt_dir/sources.list.d/${source##*/}"
done
grep -qsw -- "$suite" "$apt_dir/sources.list" "$apt_dir"/sources.list.d/* ||
  { echo "no apt source on this machine serves $release" >&2; exit 1; }
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir" -o "Dir::Cache::archives=$apt_dir/archives"
  -o "APT::Sandbox::User=root" -o "Debug::NoLocking=1"
)
echo "Fetching a recent i386 emulator (qemu-user from $suite)" >&2
apt-get -q "${apt_options[@]}" update >"$apt_dir/update.log" 2>&1
version=$(apt-cache "${apt_options[@]}" madison qemu-user 2>/dev/null |
  awk -v suite="$suite" '$0 ~ suite { print $3; exit }')
[ -n "$version" ] || { echo "no qemu-user in $suite" >&2; exit 1; }
(cd "$apt_dir/archives" && apt-get -q "${apt_options[@]}" download "qemu-user=$version" \
  >"$apt_dir/download.log" 2>&1)
deb=$(ls "$apt_dir"/archives/qemu-user_*.deb | head -n 1)
dpkg-deb --fsys-tarfile "$deb" | tar -x -O ./usr/bin/qemu-i386 >"$cache/qemu-i386.tmp"
chmod +x "$cache/qemu-i386.tmp"
mv "$cache/qemu-i386.tmp" "$cache/qemu-i386"
recent_enough "$cache/qemu-i386" || { echo "the fetched emulator is too old" >&2; exit 1; }
echo "$cache/qemu-i386"
