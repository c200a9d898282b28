#!/usr/bin/env bash
# Prints the path of an i386 user-mode emulator that runs 32-bit Wine at a usable speed, for
# machines whose kernel runs no 32-bit code. QEMU before 8.1 searches guest memory page by page
# on every mapping, which makes each Wine process take minutes; Debian's backports have a newer
# one, fetched here with apt into CACHE_DIR without touching the system's package state.
# Usage: tests/e2e/wine_qemu.sh CACHE_DIR. Exits non-zero when there is none to be had.
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

# The static build in the package qemu-user of this release's backports needs no library. The
# backports sit in the archive that the machine's own apt sources name for its release (apt
# reads them: sources.list and sources.list.d, one-line and deb822 alike).
. /etc/os-release
release="${VERSION_CODENAME:?no release name in /etc/os-release}"
suite="$release-backports"
# shellcheck disable=SC2016 # apt's format fields, not the shell's
archive=$(apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(COMPONENT) $(SITE)' |
  awk -v release="$release" '$1 == "deb" && $3 == "main" && ($2 == release || $2 == release "-backports") &&
    archive == "" { archive = $4 } END { print archive }')
[ -n "$archive" ] || { echo "no apt source on this machine serves $release main" >&2; exit 1; }
apt_dir="$cache/apt"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $suite main" \
  >"$apt_dir/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/none"
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
rm -rf "$apt_dir"
recent_enough "$cache/qemu-i386" || { echo "the fetched emulator is too old" >&2; exit 1; }
echo "$cache/qemu-i386"
