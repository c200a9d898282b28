#!/usr/bin/env bash
# The Linux program against settings files it cannot read or write: a read-only file system, a
# folder that cannot be created, a full disk, a file replaced by a folder, a damaged file, a
# device, a FIFO, a read-only file, a dangling link and a read-only folder. Each run must show
# the game, end in order with exit code 1, and leave no damaged file behind.
# Usage: tests/e2e/settings_faults.sh BINARY. Needs root or unprivileged user namespaces, for
# the private mounts. Prints "N passed, N failed"; exits non-zero on a failure.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 BINARY" >&2
  exit 2
fi

# The mounts below are made in a private mount namespace, so nothing outside sees them.
if [ -z "${DERADU_FAULTS_NAMESPACE:-}" ]; then
  export DERADU_FAULTS_NAMESPACE=1
  if [ "$(id -u)" -eq 0 ]; then
    exec unshare --mount --propagation private "$0" "$@"
  fi
  exec unshare --map-root-user --mount "$0" "$@"
fi

binary=$(realpath "$1")
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-faults.XXXXXX")

cleanup() {
  stop_virtual_display
  grep -o " $work/[^ ]*" /proc/mounts | sort -r | xargs -r -n1 umount 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT


start_virtual_display "$work" || fatal "the virtual display starts"

# Starts the game with its settings under $1, waits for its window, ends it with SIGTERM and
# prints "window exit-code": window is "shown" or "none". Further arguments are a command that
# runs the game (such as setpriv with fewer privileges).
play() { # config home [command...]
  local pid shown=none code home=$1
  shift
  XDG_CONFIG_HOME=$home timeout -k 5 30 "$@" "$binary" >"$work/game.log" 2>&1 &
  pid=$!
  if timeout 15 xdotool search --sync --onlyvisible --pid "$pid" --name '^Qor Deradu 1\.0$' \
      >/dev/null 2>&1; then
    shown=shown
  fi
  kill -TERM "$pid" 2>/dev/null
  wait "$pid"
  code=$?
  echo "$shown $code"
}

good=$'1\n1\n0\n120\n300\n3\n'
digest() { sha256sum "$1" 2>/dev/null | cut -d' ' -f1; }

echo "== Read-only file system"
home="$work/readonly"
mkdir -p "$home"
mount -t tmpfs -o size=64k tmpfs "$home"
mkdir -p "$home/qor/revaziriv"
printf '%s' "$good" >"$home/qor/revaziriv/revAziriv.ini"
before=$(digest "$home/qor/revaziriv/revAziriv.ini")
mount -o remount,ro "$home"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the file is as it was" "$before" "$(digest "$home/qor/revaziriv/revAziriv.ini")"

echo "== A settings folder that cannot be created"
home="$work/blocked"
mkdir -p "$home"
printf 'not a folder\n' >"$home/qor"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the file in the folder's place is untouched" "not a folder" "$(cat "$home/qor")"

echo "== A full disk"
home="$work/full"
mkdir -p "$home"
mount -t tmpfs -o size=64k tmpfs "$home"
mkdir -p "$home/qor/revaziriv"
printf '%s' "$good" >"$home/qor/revaziriv/revAziriv.ini"
before=$(digest "$home/qor/revaziriv/revAziriv.ini")
dd if=/dev/zero of="$home/filler" bs=4k >/dev/null 2>&1
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the old file is intact" "$before" "$(digest "$home/qor/revaziriv/revAziriv.ini")"
check "no temporary file is left" "revAziriv.ini" "$(ls "$home/qor/revaziriv")"

echo "== A file replaced by a folder"
home="$work/folder"
mkdir -p "$home/qor/revaziriv/revAziriv.ini/inside"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the folder is still there with its contents" "inside" \
  "$(ls "$home/qor/revaziriv/revAziriv.ini")"
check "nothing else was written beside it" "revAziriv.ini" "$(ls "$home/qor/revaziriv")"

echo "== A damaged file"
home="$work/damaged"
mkdir -p "$home/qor/revaziriv"
head -c 3000 /dev/urandom >"$home/qor/revaziriv/revAziriv.ini"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
lines=$(grep -cE '^[0-9]+$' "$home/qor/revaziriv/revAziriv.ini")
check "the file is replaced by six well-formed lines" "6 6" \
  "$lines $(wc -l <"$home/qor/revaziriv/revAziriv.ini")"

# Root without the right to override file permissions, so a file's own mode bits decide.
unprivileged=(setpriv --bounding-set -dac_override,-dac_read_search --)
kind() { stat -c %F "$1" 2>/dev/null; }

echo "== A link to a device node"
home="$work/device"
mkdir -p "$home/qor/revaziriv"
if mknod "$work/null-device" c 1 3 2>/dev/null; then
  ln -s "$work/null-device" "$home/qor/revaziriv/revAziriv.ini"
  check "the game shows and ends in order" "shown 1" "$(play "$home")"
  check "the device is still a device" "character special file" "$(kind "$work/null-device")"
  check "the link is still a link" "symbolic link" "$(kind "$home/qor/revaziriv/revAziriv.ini")"
else
  echo "  skip  device nodes need root"
fi

echo "== A FIFO nobody writes"
home="$work/fifo"
mkdir -p "$home/qor/revaziriv"
mkfifo "$home/qor/revaziriv/revAziriv.ini"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the FIFO is still a FIFO" "fifo" "$(kind "$home/qor/revaziriv/revAziriv.ini")"

echo "== Files the game may not write: read-only, another user's"
for owner_mode in "0:0444" "65534:0644"; do
  home="$work/readonly-file-${owner_mode%%:*}"
  file="$home/qor/revaziriv/revAziriv.ini"
  mkdir -p "$home/qor/revaziriv"
  printf '%s' "$good" >"$file"
  chown "${owner_mode%%:*}" "$file"
  chmod "${owner_mode##*:}" "$file"
  before="$(digest "$file") $(stat -c '%u %a' "$file")"
  check "mode ${owner_mode##*:}, owner ${owner_mode%%:*}: the game shows and ends in order" \
    "shown 1" "$(play "$home" "${unprivileged[@]}")"
  check "mode ${owner_mode##*:}, owner ${owner_mode%%:*}: the file, its owner and mode are as they were" \
    "$before" "$(digest "$file") $(stat -c '%u %a' "$file")"
done

echo "== A dangling link"
home="$work/dangling"
mkdir -p "$home/qor/revaziriv"
ln -s "$work/elsewhere/revAziriv.ini" "$home/qor/revaziriv/revAziriv.ini"
check "the game shows and ends in order" "shown 1" "$(play "$home")"
check "the link is still a link" "symbolic link" "$(kind "$home/qor/revaziriv/revAziriv.ini")"
check "its target now holds six lines" "6" "$(grep -cE '^[0-9]+$' "$work/elsewhere/revAziriv.ini" 2>/dev/null)"

echo "== A writable file in a read-only folder"
home="$work/readonly-folder"
mkdir -p "$home/qor/revaziriv"
printf '%s' "$good" >"$home/qor/revaziriv/revAziriv.ini"
chmod 0555 "$home/qor/revaziriv"
check "the game shows and ends in order" "shown 1" "$(play "$home" "${unprivileged[@]}")"
# Every start deals a Medium game, so the level line tells a saved file from the old one.
check "the file is written in place" "1 1 0 120 300 2" \
  "$(tr '\n' ' ' <"$home/qor/revaziriv/revAziriv.ini" | sed 's/ $//')"
check "nothing else is in the folder" "revAziriv.ini" "$(ls "$home/qor/revaziriv")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
