#!/usr/bin/env bash
# The start under a closed standard stream, SIGTERM the moment the window shows, and a font
# search that hangs or crashes: the window must show, and SIGTERM close it in order (exit 1,
# settings written). Usage: tests/display/linux_start.sh GAME. Prints "N passed, N failed".
{ [ $# -eq 1 ] && [ -x "$1" ]; } || { echo "usage: $0 GAME" >&2; exit 2; }
game=$(realpath "$1")
# shellcheck source=tests/support/lib.sh
source "$(dirname "$0")/../support/lib.sh"
begin_script linux_start
require_tools Xvfb xdotool xwininfo

start_virtual_display "$work" || fatal "the virtual display starts"
# No font folder: the line saying so at start must reach standard error and nothing else.
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/no-fonts.conf"

# Starts the game with `redirection` applied (a closed stream), its folders under `home`.
start_game() { # home redirection [variable=value...]
  local home=$1 redirection=$2
  shift 2
  eval "env XDG_CONFIG_HOME=\"$home\" XDG_CACHE_HOME=\"$home/cache\" $* \"$game\" \
    >\"$home.out\" 2>\"$home.err\" $redirection &"
  game_pid=$!
  started "$game_pid"
}
# Sets `outcome` (not in a subshell, which cannot wait): shown, SIGTERM's exit code, values saved.
end_shown_game() { # home
  outcome=shown
  wait_window "$game_pid" >/dev/null || outcome="no window"
  kill -TERM "$game_pid" 2>/dev/null
  wait_exit "$game_pid" 10 || kill -KILL "$game_pid" 2>/dev/null
  outcome="$outcome $status $(settings_values "$(settings_file "$1")" | wc -w)"
}

while IFS='|' read -r name redirection; do
  start_game "$work/$name" "$redirection" FONTCONFIG_FILE="$work/no-fonts.conf"
  end_shown_game "$work/$name"
  check "$name: the window shows, SIGTERM ends it in order" "shown 1 6" "$outcome"
done <<'CASES'
stdin closed|<&-
stdout closed|>&-
stderr closed|2>&-
all three closed|<&- >&- 2>&-
CASES

# SIGTERM the moment the window shows, fifty times: each run must end in order. The window is
# looked for without pause, so the signal lands within milliseconds of the map.
viewable() { xdotool search --onlyvisible --pid "$game_pid" --name '^Qor Deradu 1\.0$' >/dev/null 2>&1; }
ends=""
for _ in $(seq 50); do
  rm -rf "$work/race"
  start_game "$work/race" ""
  until viewable; do kill -0 "$game_pid" 2>/dev/null || break; done
  kill -TERM "$game_pid" 2>/dev/null
  wait_exit "$game_pid" 10 || kill -KILL "$game_pid" 2>/dev/null
  ends="$ends $status/$(settings_values "$(settings_file "$work/race")" | wc -w)"
done
check "SIGTERM as the window shows: every run ends with 1, settings written (status/values)" "" \
  "$(tr ' ' '\n' <<<"$ends" | grep -vxE '|1/6' | sort | uniq -c | joined)"

# A FIFO nobody writes to, included, hangs fontconfig; SIGSEGV stands for its crash under a tight
# memory limit. The window shows without text and says why, or with the fonts an earlier run kept.
mkfifo "$work/fifo"
printf '<?xml version="1.0"?>\n<fontconfig><include>%s</include></fontconfig>\n' "$work/fifo" \
  >"$work/hang.conf"
start_game "$work/kept" ""
end_shown_game "$work/kept"
# The search is the game's only child at start.
search_started() { search=$(ps --ppid "$game_pid" -o pid= | head -n 1) && [ -n "$search" ]; }
while IFS='|' read -r name home action expected; do
  # The sanitizers would report the crash themselves and end the search with their own code.
  start_game "$work/$home" "" FONTCONFIG_FILE="$work/hang.conf" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}handle_segv=0"
  [ "$action" = crash ] && wait_until search_started && kill -SEGV "$search"
  end_shown_game "$work/$home"
  check "$name" "shown 1 6|$expected" "$outcome|$(joined <"$work/$home.err")"
done <<'CASES'
a search that hangs: shown without text after its deadline|hang|wait|no font found: the font search did not answer in time
a search that crashes: shown without text|crash|crash|no font found: the font search ended by signal 11
a search that hangs with an answer kept: its fonts serve|kept|wait|
CASES
finish
