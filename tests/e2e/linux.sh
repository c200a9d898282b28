#!/usr/bin/env bash
# End-to-end tests of the Linux program on a private virtual display: the play-through both
# programs share (scenario.sh, through linux_driver.sh), then what only the Linux program has:
# the ends by hang-up, a killed connection and a lost server, a run without fonts, a start
# without a display, and nothing left behind.
# Usage: tests/e2e/linux.sh PROGRAM [SCREEN_READER]. Prints "N passed, N failed"; exits
# non-zero on a failure.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"
use_program "${1:-}"
begin_script linux
use_screen_reader "$here/../.." "${2:-}"
require_tools Xvfb xdotool xwininfo xprop xkill import cc
# shellcheck source=tests/e2e/linux_driver.sh
source "$here/linux_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$here/scenario.sh"

start_virtual_display "$work" || fatal "the virtual display starts"
install_url_recorder "$work"
build_close_helper "$work"

play_scenario

# ---------------------------------------------------------------------------------------------
echo "== Hang-up, no fonts, a killed connection, a server that ends"
saved_position() { settings_values "$settings" | cut -d' ' -f4,5; }
# Moves the window to (x, y) and waits until the program has seen it there.
move_to() { # x y
  xdotool windowmove "$window" "$1" "$2"
  eventually "$1 $2" window_corner >/dev/null
  sleep 0.3
}
if start_game; then
  move_to 140 60
  end_game HUP
  check "SIGHUP ends the game in order: exit code 1, the position saved" "1/60 140" \
    "$status/$(saved_position)"
else
  fail "the window appears for the hang-up" "$(cat "$game_err")"
fi


game_err="$work/no-fonts.err"
printf '<?xml version="1.0"?>\n<fontconfig></fontconfig>\n' >"$work/no-fonts.conf"
if start_game FONTCONFIG_FILE="$work/no-fonts.conf"; then
  check_deal "without any font the game still deals and shows its tiles" "$(new_deal 0 "")"
  check "and says at start that no font was found" "no font found: " \
    "$(head -c 15 "$game_err")"
  end_game TERM
  check "it ends in order" 1 "$status"
else
  fail "the window appears without fonts" "$(cat "$game_err")"
fi

# The connection lost: name | how | where the window was
while IFS='|' read -r name how place; do
  game_err="$work/$how.err"
  if ! start_game; then
    fail "the window appears: $name" "$(cat "$game_err")"
    continue
  fi
  # shellcheck disable=SC2086
  move_to $place
  case $how in
    killed) xkill -id "$window" >/dev/null 2>&1 ;;
    server-ends) stop_virtual_display ;;
  esac
  game_ends
  check "$name: the game ends with exit code 2, position saved" "2/${place#* } ${place% *}" \
    "$status/$(saved_position)"
  check "and says so in one line" "1/1" \
    "$(wc -l <"$game_err" | tr -d ' ')/$(grep -c 'lost the connection to the X display' "$game_err")"
done <<'EOF'
a connection killed by another client|killed|160 70
the X server ending|server-ends|180 90
EOF
start_virtual_display "$work" || fatal "the virtual display starts"

# ---------------------------------------------------------------------------------------------
echo "== No display, or no libX11 to reach one"
# Without a Wayland compositor either, the one line is all: no dialog waits for an OK.
# name | DISPLAY | the library Xlib is taken from (DERADU_LIBX11) | the line
while IFS='|' read -r name display library line; do
  status=0
  env -u WAYLAND_DISPLAY -u DERADU_BACKEND DISPLAY="$display" DERADU_LIBX11="$library" \
    XDG_RUNTIME_DIR="$work/no-runtime" XDG_CONFIG_HOME="$work/no-display" \
    timeout "$wait_seconds" "$binary" >/dev/null 2>"$work/no-display.err" || status=$?
  check "$name: the program says so in one line and ends with exit code 2" "2/deradu: $line" \
    "$status/$(cat "$work/no-display.err")"
  check "$name: and writes no settings" "" "$(ls -A "$work/no-display" 2>/dev/null)"
done <<EOF
no display||libX11.so.6|XOpenDisplay failed: no display (DISPLAY is not set)
an X display but no libX11|$DISPLAY|libX11-missing.so.6|XOpenDisplay failed: libX11.so.6 cannot be loaded
EOF

# ---------------------------------------------------------------------------------------------
echo "== Memory limits at start"
if sanitized; then
  echo "  skip  the sanitizers' reserved address space leaves no room for a limit"
else
  # Under each limit the program either runs (and ends in order on SIGTERM) or stops with one
  # line and exit code 2 (127: the loader could not map a library); never a crash, and the
  # settings file keeps what it held. Each limit is tried with the font answer kept, as after any
  # earlier run, and as a first start without it, where fontconfig itself runs out of memory.
  oom_home="$work/oom"
  oom_settings=$(settings_file "$oom_home")
  write_settings "$oom_settings" "1 0 1 30 40 3"
  oom_run() { # limit in kB, or "unlimited"
    (ulimit -v "$1" && XDG_CONFIG_HOME="$oom_home" XDG_CACHE_HOME="$oom_home/cache" \
      timeout --preserve-status -s TERM 2 "$binary" >/dev/null 2>"$work/oom.err")
  }
  oom_run unlimited
  kept=$(cat "$oom_settings")
  oom_outcomes=""
  said_out_of_memory=0
  for limit in $(seq 6000 2000 30000) $(seq 24000 4000 48000 | sed 's/$/-first/'); do
    [[ $limit == *-first ]] && rm -rf "$oom_home/cache"
    limit=${limit%-first}
    status=0
    oom_run "$limit" || status=$?
    oom_outcomes="$oom_outcomes $status"
    [ "$status" -eq 2 ] && grep -qx 'deradu: out of memory' "$work/oom.err" &&
      said_out_of_memory=$((said_out_of_memory + 1))
  done
  check "every limit ends in order, with code 2 or the loader's 127, never a crash" "" \
    "$(tr ' ' '\n' <<<"$oom_outcomes" | grep -vxE '|1|2|127' | tr '\n' ' ')"
  if [ "$said_out_of_memory" -gt 0 ]; then pass "out of memory is said in one line, code 2"; else
    fail "out of memory is said in one line, code 2" "outcomes:$oom_outcomes"; fi
  check "and the settings file keeps what it held" "$kept" "$(cat "$oom_settings")"
fi

# ---------------------------------------------------------------------------------------------
echo "== Afterwards"
# libdbus starts a session bus for an X display with "dbus-launch --autolaunch", which then
# lives as long as the display; other programs' buses on the machine are none of ours.
bus_processes() {
  local pid
  for pid in $(pgrep -f -- 'dbus-launch --autolaunch'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY" && echo "$pid"
  done
}
check "no session-bus helper was started for the display" "" "$(bus_processes | tr '\n' ' ')"
# Copies started by this script: other scripts may run the same program meanwhile.
ours() {
  local pid
  for pid in $(pgrep -f "^$binary"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -q "^XDG_CONFIG_HOME=$work/" && echo "$pid"
  done
}
check "no copy of the program is left running" "" "$(ours | tr '\n' ' ')"
check "otherwise the program wrote nothing on stderr" "" \
  "$(grep -v '^$' "$work/game.err" | head -n 3)"
finish
