# The test scripts' one library (sourced): the tally, a script's work folder and its one cleanup,
# the waits, the settings file, a Wine prefix, a private virtual display.
#
#   source "$(dirname "$0")/../support/lib.sh"
#   begin_script linux          # work folder, cleanup on every way out
#   start_virtual_display "$work" || fatal "the virtual display starts"
#   "$program" & started $!     # ended by the cleanup unless the script ended it
#   window=$(wait_window "$pid") || fail ...
#   finish                      # "N passed, N failed", and the exit status
#
# A run that fails keeps its work folder (screenshots, logs, the settings files it made):
# under ctest that is <build>/tests/output/<script>/, otherwise a folder in /tmp; the last line
# before the tally says where.

# shellcheck source=tools/virtual_display.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/virtual_display.sh"

passed=0
failed=0

pass() { passed=$((passed + 1)); echo "  ok    $1"; }
fail() { failed=$((failed + 1)); echo "  FAIL  $1${2:+: $2}"; }
check() { # name, expected, actual
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected '$2', got '$3'"; fi
}
# Standard input's lines as one line, SEPARATOR (a space unless given) between them.
joined() { paste -sd"${1:- }" -; }
# Passes when the command succeeds, fails with its output otherwise.
check_that() { # name, command...
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then pass "$name"; else fail "$name" "$(head -c 300 <<<"$out")"; fi
}

# The closing line ctest and CI read, and the script's exit status.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}
# Ends the script at once with one failure, for a part it cannot go on without.
fatal() { # name [reason]
  fail "$1" "${2:-}"
  finish
}

# Ends the script before any check when a tool it needs is missing.
require_tools() { # tool...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (./test.sh installs it)" >&2; exit 1; }
  done
}

# One wait for everything: seconds a window, an exit or a screen change may take. A slow
# machine (or Wine under an emulator) raises it once, through DERADU_WAIT_SECONDS.
wait_seconds=${DERADU_WAIT_SECONDS:-30}

# ---------------------------------------------------------------------------------------------
# A script's frame: `work` is its own empty folder; the cleanup ends every process registered
# with `started`, runs every command given to `at_cleanup`, stops the virtual display, and
# removes the folder unless a check failed.
begin_script() { # name
  set -uo pipefail
  script_name=$1
  if [ -n "${DERADU_TEST_OUTPUT:-}" ]; then
    work="$DERADU_TEST_OUTPUT/$1"
    rm -rf "$work"
    mkdir -p "$work"
  else
    work=$(mktemp -d "${TMPDIR:-/tmp}/deradu-$1.XXXXXX")
  fi
  work=$(cd "$work" && pwd)
  started_pids=()
  cleanup_commands=()
  trap cleanup EXIT
  # ctest's time limit and an interrupt end the script through the same cleanup.
  trap 'exit 143' TERM INT HUP
}

started() { started_pids+=("$@"); }
at_cleanup() { cleanup_commands+=("$1"); }

cleanup() {
  local status=$? pid command pids=()
  trap - EXIT TERM INT HUP
  # Only processes still this shell's children: a pid that ended long ago may have been reused.
  for pid in "${started_pids[@]}"; do
    [ "$(ps -o ppid= -p "$pid" 2>/dev/null | tr -d ' ')" = "$$" ] && pids+=("$pid")
  done
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null
  done
  for command in "${cleanup_commands[@]}"; do eval "$command" >/dev/null 2>&1 || true; done
  stop_virtual_display
  if [ "$failed" -eq 0 ] && [ "$status" -eq 0 ]; then
    rm -rf "$work"
  else
    echo "Screenshots and logs kept in $work"
  fi
  exit "$status"
}

# ---------------------------------------------------------------------------------------------
# The first visible window whose title is TITLE and, unless PID is "-", that process PID made;
# prints its id, or nothing and returns 1 after `seconds` or as soon as process PID has ended.
# Wine's windows name no process of the script's: their scripts pass "-" and the game's own pid
# as WATCH, so that a game that ended is not waited for.
wait_window() { # pid|- [title] [seconds] [watch]
  local pid=$1 title=${2:-Qor Deradu 1.0} watch=${4:-$1} id
  local pattern="^${title//./\\.}\$" deadline=$((SECONDS + ${3:-$wait_seconds}))
  local by_pid=()
  [ "$pid" != - ] && by_pid=(--pid "$pid")
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --onlyvisible --all "${by_pid[@]}" --name "$pattern" 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    [ "$watch" = - ] || kill -0 "$watch" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Runs COMMAND every tenth of a second until it succeeds; returns 1 when it still fails after
# `wait_seconds`.
wait_until() { # command...
  local deadline=$((SECONDS + wait_seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Waits for process PID, a child of this shell, to end; sets `status` to its exit code, or to
# "running" when it still runs after the wait (it is left running).
wait_exit() { # pid [seconds]
  local deadline=$((SECONDS + ${2:-$wait_seconds}))
  while kill -0 "$1" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.05; done
  status=running
  kill -0 "$1" 2>/dev/null && return 1
  status=0
  wait "$1" 2>/dev/null || status=$?
  return 0
}

# ---------------------------------------------------------------------------------------------
# The Linux program's settings file for a configuration folder (XDG_CONFIG_HOME); a Windows
# drive_c folder gives the Windows program's.
settings_file() { # [config home | drive_c]
  local base=${1:-${XDG_CONFIG_HOME:-$HOME/.config}}
  case $base in
    */drive_c) echo "$base/ProgramData/qor/revaziriv/revAziriv.ini" ;;
    *) echo "$base/qor/revaziriv/revAziriv.ini" ;;
  esac
}
# The file's six values on one line, line ends of either system taken off: "skin top-most
# transparent top left level". Nothing when the file is missing.
settings_values() { # file
  [ -f "$1" ] && tr -d '\r' <"$1" | head -n 6 | paste -sd' ' -
}
# Writes the six values as the program would (CR LF with crlf), making the folders.
write_settings() { # file, "values" [crlf]
  mkdir -p "$(dirname "$1")"
  if [ "${3:-}" = crlf ]; then
    printf '%s\r\n' $2 >"$1"
  else
    printf '%s\n' $2 >"$1"
  fi
}

# ---------------------------------------------------------------------------------------------
# Wine for the scripts: a private prefix made (once, kept) at PREFIX, a private HOME, no
# dialogs (Mono, Gecko, the crash debugger), no menu entries, no traces. A prefix made by an
# interrupted run is made again. Returns 1 with the log's end on stderr when Wine cannot make it.
wine_prefix() { # prefix, home
  export WINEPREFIX=$1 WINEARCH=win32 WINEDEBUG=-all HOME=$2
  export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe="
  mkdir -p "$HOME"
  at_cleanup "timeout 20 wineserver -k"
  if [ ! -f "$WINEPREFIX/.deradu-ready" ]; then
    rm -rf "$WINEPREFIX"
    if ! timeout 900 wine wineboot --init >"$work/wineboot.log" 2>&1 ||
      ! timeout 300 wineserver -w || [ ! -d "$WINEPREFIX/drive_c/ProgramData" ]; then
      tail -n 5 "$work/wineboot.log" >&2
      return 1
    fi
    date >"$WINEPREFIX/.deradu-ready"
  fi
  # One Wine session for every program the script runs: its start-up is paid once.
  wineserver -p 30
}
