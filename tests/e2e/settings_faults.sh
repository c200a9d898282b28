#!/usr/bin/env bash
# The Linux program against settings files it cannot read or write, one case a row: each run
# must show the game, end in order with exit code 1, and leave what the case expects.
# Usage: tests/e2e/settings_faults.sh PROGRAM. Needs root or unprivileged user namespaces, for
# the private mounts. Prints "N passed, N failed"; exits non-zero on a failure.

# The mounts below are made in a private mount namespace, so nothing outside sees them.
if [ -z "${DERADU_FAULTS_NAMESPACE:-}" ]; then
  export DERADU_FAULTS_NAMESPACE=1
  if [ "$(id -u)" -eq 0 ]; then
    exec unshare --mount --propagation private "$0" "$@"
  fi
  exec unshare --map-root-user --mount "$0" "$@"
fi

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
use_program "${1:-}"
begin_script settings_faults
require_tools Xvfb xdotool setpriv mknod
at_cleanup "grep -o ' $work/[^ ]*' /proc/mounts | sort -r | xargs -r -n1 umount"
start_virtual_display "$work" || fatal "the virtual display starts"

# Each case's layout under its configuration folder `home`, around the settings file `file` in
# the folder `folder`; fails when it could not be made. A case this machine cannot have prints
# why.
good="1 1 0 120 300 3"
small_tmpfs() { mount -t tmpfs -o size=64k tmpfs "$home" && mkdir -p "$folder"; }
lay_out() { # layout
  mkdir -p "$home"
  case $1 in
    readonly-fs) small_tmpfs && write_settings "$file" "$good" && mount -o remount,ro "$home" ;;
    blocked) printf 'not a folder\n' >"$home/qor" ;;
    full-disk)
      # dd ends with an error once the disk is full.
      small_tmpfs && write_settings "$file" "$good" &&
        { dd if=/dev/zero of="$home/filler" bs=4k >/dev/null 2>&1 || true; }
      ;;
    folder) mkdir -p "$file/inside" ;;
    damaged) mkdir -p "$folder" && head -c 3000 /dev/urandom >"$file" ;;
    device)
      mkdir -p "$folder"
      mknod "$home/null-device" c 1 3 2>/dev/null || { echo "device nodes need root"; return; }
      ln -s "$home/null-device" "$file"
      ;;
    fifo) mkdir -p "$folder" && mkfifo "$file" ;;
    readonly-file) write_settings "$file" "$good" && chmod 0444 "$file" ;;
    others-file) write_settings "$file" "$good" && chown 65534 "$file" ;;
    dangling) mkdir -p "$folder" && ln -s "$home/elsewhere/$(basename "$file")" "$file" ;;
    readonly-folder) write_settings "$file" "$good" && chmod 0555 "$folder" ;;
  esac
}

# What a path is, without reading a FIFO or a device: its kind, owner and mode, and a regular
# file's digest, a folder's entries or a link's target.
state() { # path
  local kind
  kind=$(stat -c %F "$1" 2>/dev/null) || { echo missing; return; }
  case $kind in
    "regular file") echo "$kind $(stat -c '%u %a' "$1") $(sha256sum <"$1" | cut -c1-16)" ;;
    directory) echo "$kind $(stat -c '%u %a' "$1") $(ls -A "$1" | joined)" ;;
    "symbolic link") echo "$kind $(stat -c '%u %a' "$1") $(readlink "$1")" ;;
    *) echo "$kind $(stat -c '%u %a' "$1")" ;;
  esac
}
# The paths the expectations name, relative to `home`; "file" and "folder" are the settings'.
path_of() { # name
  case $1 in
    file) echo "$file" ;;
    folder) echo "$folder" ;;
    *) echo "$home/$1" ;;
  esac
}
name_of() { # name
  case $1 in
    file) echo "the settings file" ;;
    qor) echo "the file in the settings folder's place" ;;
    null-device) echo "the device" ;;
  esac
}
# One expectation's check.
expect() { # expectation
  case $1 in
    kept=*)
      check "$(name_of "${1#kept=}") is as it was" "${before[$1]}" \
        "$(state "$(path_of "${1#kept=}")")"
      ;;
    alone)
      check "nothing else is in the folder" "$(basename "$file")" "$(ls -A "$folder" | joined)" ;;
    six-lines)
      check "the file holds six well-formed lines" "6 6" \
        "$(grep -cE '^[0-9]+$' "$file" 2>/dev/null) $(wc -l <"$file" 2>/dev/null)"
      ;;
    # Every start deals a Medium game, so the level tells a saved file from the old one.
    written) check "the file is written in place" "1 1 0 120 300 2" "$(settings_values "$file")" ;;
  esac
}

# Root without the right to override file permissions, so a file's own mode bits decide.
unprivileged=(setpriv --bounding-set -dac_override,-dac_read_search --)
# Starts the game with its settings under `home`, waits for its window, ends it with SIGTERM;
# sets `outcome` to "window exit-code": window is "shown" or "none".
play() { # [command that runs the game...]
  local shown=none pid
  XDG_CONFIG_HOME=$home "$@" "$binary" >>"$work/game.log" 2>&1 &
  pid=$!
  started "$pid"
  wait_window "$pid" >/dev/null && shown=shown
  kill -TERM "$pid" 2>/dev/null
  wait_exit "$pid"
  outcome="$shown $status"
}

# name | layout | who plays | expectations afterwards
cases="\
a read-only file system|readonly-fs|root|kept=file
a settings folder that cannot be created|blocked|root|kept=qor
a full disk|full-disk|root|kept=file alone
a file replaced by a folder|folder|root|kept=file alone
a damaged file|damaged|root|six-lines
a link to a device node|device|root|kept=file kept=null-device
a FIFO nobody writes|fifo|root|kept=file
a read-only file|readonly-file|unprivileged|kept=file
another user's file|others-file|unprivileged|kept=file
a dangling link|dangling|root|kept=file six-lines
a writable file in a read-only folder|readonly-folder|unprivileged|written alone"
number=0
while IFS='|' read -r name layout who expectations; do
  echo "== $name"
  number=$((number + 1))
  home="$work/$number-$layout"
  file=$(settings_file "$home")
  folder=$(dirname "$file")
  if ! why=$(lay_out "$layout" 2>&1); then
    fail "the case is laid out" "$why"
    continue
  fi
  if [ -n "$why" ]; then
    echo "  skip  $why"
    continue
  fi
  declare -A before=()
  for expectation in $expectations; do
    [[ $expectation == kept=* ]] && before[$expectation]=$(state "$(path_of "${expectation#kept=}")")
  done
  runner=()
  [ "$who" = unprivileged ] && runner=("${unprivileged[@]}")
  play "${runner[@]}"
  check "the game shows and ends in order" "shown 1" "$outcome"
  for expectation in $expectations; do expect "$expectation"; done
  unset before
done <<<"$cases"
finish
