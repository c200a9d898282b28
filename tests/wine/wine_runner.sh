# Running 32-bit Windows programs (sourced by the Wine scripts after tests/support/lib.sh). Where
# the kernel runs no 32-bit programs (some virtual machines do not), Wine's 32-bit half runs
# under QEMU's user-mode emulator, registered for i386 programs in a private user and mount
# namespace: nothing outside the script sees the registration.
#
# wine_runner SCRIPT CACHE_DIR LIMIT ARGS... runs SCRIPT again with ARGS under a time limit of
# LIMIT seconds (a hang included), in the namespace when the emulator is needed, and returns
# only inside that second run, with Wine usable. DERADU_WINE_STARTED holds the first run's start.
# Under the emulator every Wine process is several times slower: the one wait of the scripts
# (DERADU_WAIT_SECONDS) becomes 120 s unless it was set.
wine_runner() {
  local script=$1 cache=$2 limit=$3 emulator started
  shift 3
  if [ -z "${DERADU_WINE_RUNNER:-}" ]; then
    started=$(date +%s)
    if wine --version >/dev/null 2>&1; then
      exec timeout --kill-after=20 "$limit" env DERADU_WINE_RUNNER=native \
        DERADU_WINE_STARTED="$started" "$script" "$@"
    fi
    emulator=$("$(dirname "${BASH_SOURCE[0]}")/wine_qemu.sh" "$cache") || emulator=""
    if [ -z "$emulator" ] || ! unshare --user --map-root-user --mount true 2>/dev/null; then
      fatal "32-bit Windows programs can run here" \
        "no 32-bit Wine, no recent qemu-i386 or no user namespaces"
    fi
    exec timeout --kill-after=20 "$limit" unshare --user --map-root-user --mount \
      env DERADU_WINE_RUNNER="$emulator" DERADU_WINE_STARTED="$started" \
      DERADU_WAIT_SECONDS="${DERADU_WAIT_SECONDS:-120}" "$script" "$@"
  fi
  if [ "$DERADU_WINE_RUNNER" != native ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc &&
      printf '%s' ":deradu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$DERADU_WINE_RUNNER:F" \
        >/proc/sys/fs/binfmt_misc/register
    wine --version >/dev/null 2>&1 || fatal "32-bit Windows programs can run here" \
      "wine does not start under $DERADU_WINE_RUNNER"
  fi
}

# The start of a script whose first argument is BUILD_WIN32_DIR: checks its arguments, sets
# `build` to that folder, and goes on under wine_runner with a limit of LIMIT seconds, the
# emulator kept in BUILD_WIN32_DIR/wine-tools.
start_wine_script() { # script, limit, usage, least argument count, arguments...
  local script=$1 limit=$2 usage=$3 least=$4
  shift 4
  if [ $# -lt "$least" ] || [ ! -d "$1" ]; then
    echo "usage: $script $usage" >&2
    exit 2
  fi
  build=$(cd "$1" && pwd)
  wine_runner "$script" "$build/wine-tools" "$limit" "$@"
}

# The time since the first run started, for the script's last line.
wine_elapsed() { echo "  (everything: $(($(date +%s) - DERADU_WINE_STARTED)) s)"; }
