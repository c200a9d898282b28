#!/usr/bin/env bash
# Tests of the Linux host on a private virtual display, through a probe window procedure that
# logs every message it gets: mouse and key translation, the timer's rate, the window's geometry
# and X properties, the launcher told of the start's end, the orderly end, an idle loop that
# sleeps, a signal just before it does, the shared-memory segments, and keep-on-top under a
# window manager.
# Usage: tests/display/linux_host.sh PROBE X11-PROBE GAME (X11-PROBE: deradu_x11_probe, whose
# "startup" mode listens as a launcher does; GAME: the program). Prints "N passed, N failed";
# exits non-zero on a failure.
if [ $# -ne 3 ] || [ ! -x "$1" ] || [ ! -x "$2" ] || [ ! -x "$3" ]; then
  echo "usage: $0 PROBE X11-PROBE GAME" >&2
  exit 2
fi
probe=$(realpath "$1")
x11_probe=$(realpath "$2")
game=$(realpath "$3")
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/../e2e/e2e_lib.sh"
begin_script x11_host
require_tools Xvfb xdotool xprop xwininfo import convert ipcs jwm

start_virtual_display "$work" || fatal "the virtual display starts"
install_url_recorder "$work"
# What a window manager publishes: a work area per desktop, and the current desktop. The server
# forgets root properties when its last client leaves, so a watcher stays connected.
xprop -root -spy _NET_CURRENT_DESKTOP >/dev/null 2>&1 &
started $!
sleep 0.3
xprop -root -f _NET_WORKAREA 32cccccccc -set _NET_WORKAREA "0, 0, 1280, 1000, 0, 24, 1200, 976"
xprop -root -f _NET_CURRENT_DESKTOP 32c -set _NET_CURRENT_DESKTOP 1

# A launcher listening for the end of the probe's launch.
"$x11_probe" startup >"$work/startup.log" 2>&1 &
started $!
wait_until grep -qx ready "$work/startup.log"

log="$work/probe.log"
start_probe() { # x y topmost alpha [mode]
  : >"$log"
  DESKTOP_STARTUP_ID="deradu-probe_TIME$RANDOM" "$probe" "$@" >"$log" 2>"$work/probe.err" &
  probe_pid=$!
  started "$probe_pid"
  window=$(wait_window "$probe_pid")
}
stop_probe() {
  kill -TERM "$probe_pid"
  wait_exit "$probe_pid"
}
# The log's lines since `mark`.
since() { tail -n +"$(($1 + 1))" "$log"; }
mark() { wc -l <"$log"; }
wait_for() { # line
  wait_until grep -qx "$1" "$log"
}
# Sends input, then a final key the probe logs, so everything before it has been handled.
settle_since() { since "$1" | grep -qx 'key 0x7B'; }
settle() {
  local m
  m=$(mark)
  xdotool key --window "$window" F12
  wait_until settle_since "$m"
}
input_lines() { since "$1" | grep -v -x -e paint -e 'key 0x7B'; }

echo "== Window"
start_probe 100 50 1 190 || fatal "the window appears" "$(cat "$work/probe.err")"
check "the usable screen is the current desktop's work area" "screen 1200 976" \
  "$(grep '^screen' "$log")"
check "WM_CREATE sees the client size of a 477 x 426 window" "create client 471 401" \
  "$(grep '^create' "$log")"
check "the window is at its outer position with a 471 x 401 client area" "100 50 471 401" \
  "$(window_geometry)"
check "its X11 class is winMain" '"winMain", "winMain"' "$(window_property WM_CLASS)"
check "it cannot be resized" "471 401 471 401" "$(xprop -id "$window" WM_NORMAL_HINTS |
  awk '/minimum size/ { a = $5 " " $7 } /maximum size/ { b = $5 " " $7 } END { print a, b }')"
check "keep on top is the window-manager state _NET_WM_STATE_ABOVE" "_NET_WM_STATE_ABOVE" \
  "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
check "opacity 190 is _NET_WM_WINDOW_OPACITY 190/255" "0xbe" "$(opacity_byte)"
wait_for paint
import -window "$window" "$work/shot.png" 2>/dev/null
corners=$(convert "$work/shot.png" -format '%[hex:p{0,0}] %[hex:p{15,15}] %[hex:p{470,400}]' info:)
check "the canvas reaches the window's corners (COLORREF 0x00BBGGRR shown as RRGGBB)" \
  "00FF00 804020 00FF00" "$corners"
check "once shown, the launcher is told that the start is over" 1 \
  "$(grep -c '^remove: ID=deradu-probe_TIME[0-9]*$' "$work/startup.log")"
# Help, three times: each opener is a launch of its own, with the usual SIGPIPE (bit 13 of the
# mask), and none is left a zombie.
for _ in 1 2 3; do xdotool key --window "$window" u; done
children() { ps -o pid= --ppid "$probe_pid" | tr -d ' '; }
no_children() { [ -z "$(children)" ]; }
wait_until test -f "$work/opened" && wait_until no_children
IFS="|" read -r opener_id ignored <"$work/opened.env"
check "the URL opener has no launch id and SIGPIPE's default; no child is left" "|0|" \
  "$opener_id|$(((0x${ignored:-1000} >> 12) & 1))|$(children)"

echo "== Input"
# name | xdotool commands, ";" between them ("sleep" waits) | what the probe logs (a press's
# button state, which varies with the server, read only as "left")
on="--window $window"
while IFS='|' read -r name commands expected; do
  m=$(mark)
  IFS=';' read -ra commands <<<"$commands"
  for command in "${commands[@]}"; do
    # shellcheck disable=SC2086
    case $command in sleep*) $command ;; *) xdotool $command ;; esac
  done
  settle
  check "$name" "$expected" "$(input_lines "$m" | sed 's/ left [01]$/ left/' | joined '|')"
done <<EOF
a left click is a move, a press and a release at its client point|mousemove $on 30 40 click 1;mousemove $on 50 60 click 3|move 30 40|down 30 40 left|up 30 40|move 50 60|rdown 50 60
a drag out of the window and its release outside reach nobody|mousemove $on 461 11 mousedown 1;mousemove $on 700 11;mouseup 1|move 461 11|down 461 11 left
a click straight after the pointer comes back is not dropped|mousemove $on 461 11 mousedown 1;mousemove $on 700 11 mouseup 1;sleep 0.3;mousemove $on 200 100 click 1|move 461 11|down 461 11 left|move 200 100|down 200 100 left|up 200 100
keys arrive as virtual-key codes, letters in capitals, Alt combinations dropped|key $on a shift+b z 5 Left Up Right Down Return Escape alt+a|key 0x41|key 0x42|key 0x5A|key 0x35|key 0x25|key 0x26|key 0x27|key 0x28|key 0x0D|key 0x1B
EOF

echo "== Services"
m=$(mark)
xdotool key --window "$window" w
settle
check "resizing to the wide outer size gives a 864 x 401 client area" "client 864 401" \
  "$(since "$m" | grep '^client')"
check "the X window follows" "864 401" "$(window_size)"
check "a resize repaints" 1 "$(since "$m" | grep -c -x paint | awk '{ print ($1 > 0) }')"

xdotool windowmove "$window" 300 200
sleep 0.3
m=$(mark)
xdotool key --window "$window" p
settle
check "the window position follows a move" "position 300 200" "$(since "$m" | grep '^position')"

sleep 1
ended_pid=$probe_pid
stop_probe
check "SIGTERM closes the window: WM_CLOSE, then WM_DESTROY at the last position" \
  "close|destroy position 300 200" \
  "$(grep -e '^close' -e '^destroy' "$log" | joined '|')"
check "the loop ends with the quit code and the program's own exit code" "ended 0/1" \
  "$(grep -o '^ended [0-9]*' "$log")/$status"
# Windows runs a 1 ms timer every 10 ms; a slower or faster loop shows in the average period.
period=$(awk '/^ended/ { if ($4 > 0) printf "%d", $6 / $4 }' "$log")
check "the 1 ms timer ticks every 10 ms on average" 1 \
  "$([ -n "$period" ] && [ "$period" -ge 9 ] && [ "$period" -le 14 ] && echo 1 || echo "0 ($period ms)")"
check "nothing on stderr" "" "$(head -n 5 "$work/probe.err")"
# MIT-SHM segments by the process that made them; the server holds one until it lets it go.
segments_of() { ipcs -m -p | awk -v pid="$1" '$3 == pid' | wc -l; }
check "its shared-memory segments are gone" 0 "$(segments_of "$ended_pid")"

echo "== Runs that fail"
# A run that ends before its window still ends its launch.
DESKTOP_STARTUP_ID=deradu-early "$probe" 0 0 0 255 early >/dev/null 2>&1
told_early() { grep -qx 'remove: ID=deradu-early' "$work/startup.log"; }
check_that "a run that ends before its window tells the launcher that the start is over" \
  wait_until told_early
# The failure dialog of a running host ends on SIGTERM, the run with the failure's exit code.
if start_probe 0 0 0 255; then
  xdotool key --window "$window" f
  if wait_window "$probe_pid" Error >/dev/null; then
    kill -TERM "$probe_pid"
    wait_exit "$probe_pid" 5
  else
    status="no dialog"
  fi
  check "SIGTERM ends the failure dialog of a running host: exit code 2" 2 "$status"
  kill -KILL "$probe_pid" 2>/dev/null
else
  fail "the window to fail in appears" "$(cat "$work/probe.err")"
fi

echo "== An idle loop"
# Voluntary and involuntary context switches of all of a process's threads: one per wake-up.
switches() { # pid
  cat /proc/"$1"/task/*/status 2>/dev/null |
    awk '/ctxt_switches/ { total += $2 } END { print total + 0 }'
}
# Context switches of a process over one second.
switches_in_a_second() { # pid
  local before
  before=$(switches "$1")
  sleep 1
  echo $(($(switches "$1") - before))
}
if start_probe 0 0 0 255 idle; then
  wait_for paint
  check "frames go through a shared-memory segment" 1 "$(segments_of "$probe_pid")"
  sleep 0.5
  check "an idle loop makes no wake-ups for a second" 0 "$(switches_in_a_second "$probe_pid")"
  # The key makes the probe raise SIGTERM just before the loop's next wait; only the press is
  # sent, as a release coming after it would wake the loop anyway.
  xdotool keydown --window "$window" z
  if ! wait_exit "$probe_pid"; then
    fail "a signal just before the loop sleeps closes the window in order" "still running"
    kill -KILL "$probe_pid"
  else
    check "a signal just before the loop sleeps closes the window in order" \
      "key 0x5A|close|destroy position 0 0|ended 0|1" \
      "$(grep -e '^key' -e '^close' -e '^destroy' -e '^ended' "$log" |
        sed 's/^\(ended [0-9]*\).*/\1/' | tr '\n' '|')$status"
  fi
else
  fail "the idle window appears" "$(cat "$work/probe.err")"
fi

# The game itself, once its first frame is up and nothing happens.
XDG_CONFIG_HOME="$work/game" XDG_CACHE_HOME="$work/game/cache" "$game" >/dev/null \
  2>"$work/game.err" &
game_pid=$!
started "$game_pid"
if wait_window "$game_pid" >/dev/null; then
  sleep 1
  check "an idle game makes no wake-ups for a second" 0 "$(switches_in_a_second "$game_pid")"
else
  fail "the game's window appears" "$(cat "$work/game.err")"
fi
kill -TERM "$game_pid"
wait_exit "$game_pid"

if start_probe 0 0 0 255; then
  wait_for paint
  killed_pid=$probe_pid
  kill -KILL "$probe_pid"
  wait "$probe_pid" 2>/dev/null
  no_segments_of() { [ "$(segments_of "$1")" -eq 0 ]; }
  wait_until no_segments_of "$killed_pid"
  check "a killed program's shared-memory segments are gone" 0 "$(segments_of "$killed_pid")"
else
  fail "the window to kill appears" "$(cat "$work/probe.err")"
fi

echo "== Keep on top under a window manager"
# A small EWMH window manager: it owns _NET_WM_STATE once the window is mapped, and writes it
# anew whenever the focus moves.
printf '<?xml version="1.0"?>\n<JWM></JWM>\n' >"$work/jwmrc"
jwm -f "$work/jwmrc" >"$work/jwm.log" 2>&1 &
started $!
window_manager_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until window_manager_ready
above() { net_state | grep -c _NET_WM_STATE_ABOVE; }
# The state once the window manager has written it again, after another window took the focus.
above_after_focus_moved() {
  xdotool windowactivate --sync "$other" 2>/dev/null
  sleep 0.3
  above
}
"$probe" 600 400 0 255 >/dev/null 2>&1 &
other_pid=$!
started "$other_pid"
if other=$(wait_window "$other_pid") && start_probe 100 50 1 255; then
  while IFS='|' read -r name key expected; do
    [ -n "$key" ] && xdotool key --window "$window" "$key"
    check "$name" "$expected" "$(eventually "${expected%% *}" above) $(above_after_focus_moved)"
  done <<'STEPS'
kept on top from the start: the window manager keeps the state above||1 1
switched off: the state is no longer above|t|0 0
switched on again: above once more|t|1 1
STEPS
  stop_probe
else
  fail "both windows appear under the window manager" "$(cat "$work/probe.err")"
fi
finish
