#!/usr/bin/env bash
# The X11 key map and the fatal-error dialog on a private virtual display: virtual keys under
# Latin and non-Latin layouts (the active group of a two-layout keyboard included), every way
# the dialog ends and the ways it does not, and the launcher told that the start is over.
# Usage: tests/display/x11_support.sh PROBE. Prints "N passed, N failed"; exits non-zero on a failure.
if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 PROBE" >&2
  exit 2
fi
probe=$(realpath "$1")
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/../e2e/e2e_lib.sh"
begin_script x11_support
require_tools Xvfb xdotool xwininfo setxkbmap

start_virtual_display "$work" || fatal "the virtual display starts"

# Keys: each case sets a layout, types key symbols with xdotool (which finds their key and
# group) and expects the virtual keys, in hexadecimal.
log="$work/keys.log"
"$probe" keys >"$log" 2>"$work/keys.err" &
probe_pid=$!
started "$probe_pid"
wait_until grep -qx ready "$log"
# Whether the log has `count` lines more than it had `before`.
logged() { [ $(($(wc -l <"$log") - before)) -ge "$count" ]; }
while IFS='|' read -r name layout symbols expected; do
  setxkbmap -layout "$layout"
  before=$(wc -l <"$log")
  # shellcheck disable=SC2086
  xdotool key $symbols
  count=$(wc -w <<<"$expected")
  wait_until logged
  actual=$(tail -n +"$((before + 1))" "$log" | awk '{ printf "%s%X", (NR > 1 ? " " : ""), $2 }')
  check "$name" "$expected" "$actual"
done <<'CASES'
US letters with and without Shift (itself no key of ours), Escape, an arrow|us|a shift+a Escape Left|41 0 41 1B 25
AZERTY: A and Q keys, the top row's digit, M beside L, comma where US has M|fr|a q ampersand m comma|41 51 31 4D 0
Russian: the keys of C, K, N and S|ru|Cyrillic_es Cyrillic_el Cyrillic_te Cyrillic_yeru|43 4B 4E 53
Greek: the C key and the Q key|gr|Greek_psi semicolon|43 51
Hebrew: the C key and the Q key|il|hebrew_bet slash|43 51
the active group decides: Russian then French on one key|fr,ru|Cyrillic_shorti a|51 41
CASES
setxkbmap -layout us
kill -KILL "$probe_pid" 2>/dev/null
wait "$probe_pid" 2>/dev/null

# A launcher listening for the end of each launch.
"$probe" startup >"$work/startup.log" 2>&1 &
started $!
wait_until grep -qx ready "$work/startup.log"
# Prints the messages of `told` (one a line) that the launcher has not printed; fails unless
# it has printed them all.
untold() {
  local status=0
  grep -Fxvf "$work/startup.log" <<<"$told" 2>&1 || status=$?
  [ "$status" -eq 1 ]
}

# The message goes in pieces of 20 bytes and ends with its NUL: ids of 1 to 20 bytes give
# every length modulo 20. Spaces ask for quotes, quotes and backslashes for escapes.
told=""
for id in d de der dera derad deradu deradu- deradu-1 deradu-12 deradu-123 deradu-1234 \
  deradu-12345 deradu-123456 deradu-1234567 deradu-12345678 deradu-123456789 \
  deradu-1234567890 deradu-12345678901 deradu-123456789012 deradu-1234567890123 \
  'a\b' 'say "hi"' 'two words\'; do
  DESKTOP_STARTUP_ID="$id" "$probe" announce
  value=${id//\\/\\\\}
  value=${value//\"/\\\"}
  [[ $id == *" "* ]] && value="\"$value\""
  told+="remove: ID=$value"$'\n'
done
told=${told%$'\n'}
wait_until untold >/dev/null
check "the launcher hears the end of every launch whole, its id escaped" "" "$(untold)"

# The dialog: shown (a first start under the sanitizers on a loaded machine may take many
# seconds), then acted on one way; it must report "closed" within 5 seconds, or stay.
told=""
while IFS='|' read -r name mode action expected; do
  DESKTOP_STARTUP_ID="deradu-test $name" "$probe" "$mode" \
    "The display went away & took the window." >"$work/dialog.log" 2>"$work/dialog.err" &
  probe_pid=$!
  started "$probe_pid"
  if ! window=$(wait_window "$probe_pid" Error); then
    fail "$name" "no dialog window"
    kill -KILL "$probe_pid" 2>/dev/null
    continue
  fi
  read -r x y width height < <(window_geometry)
  ok_x=$((x + width - 30)) ok_y=$((y + height - 20)) beside_x=$((x + 20)) beside_y=$((y + 20))
  case "$action" in
    Return | Escape) xdotool windowfocus --sync "$window" key "$action" ;;
    ok) xdotool mousemove "$ok_x" "$ok_y" click 1 ;;
    outside) xdotool mousemove "$beside_x" "$beside_y" click 1 ;;
    ok-then-off) xdotool mousemove "$ok_x" "$ok_y" mousedown 1 mousemove "$beside_x" "$beside_y" \
      mouseup 1 ;;
    beside-then-ok) xdotool mousemove "$beside_x" "$beside_y" mousedown 1 \
      mousemove "$ok_x" "$ok_y" mouseup 1 ;;
    close) "$probe" close "$window" ;;
    TERM | HUP) kill -"$action" "$probe_pid" ;;
    xkill) xkill -id "$window" >/dev/null 2>&1 ;;
  esac
  wait_exit "$probe_pid" 5
  outcome=$([ "$status" = running ] && echo stays || cat "$work/dialog.log")
  # Killed, it has nothing to print; the line it ends with must stay the program's only one.
  [ "$action" = xkill ] && outcome="ended $status$(sed 's/^/, said: /' "$work/dialog.err")"
  check "$name" "$expected" "$outcome"
  kill -KILL "$probe_pid" 2>/dev/null
  told+="remove: ID=\"deradu-test $name\""$'\n'
  wait "$probe_pid" 2>/dev/null
done <<'CASES'
dialog ends on Enter|dialog|Return|closed
dialog ends on Escape|dialog|Escape|closed
dialog ends on a click on OK|dialog|ok|closed
dialog without a font ends on a click on OK|bare|ok|closed
dialog ends on its close box|dialog|close|closed
dialog ends on SIGTERM|dialog|TERM|closed
dialog ends on SIGHUP|dialog|HUP|closed
dialog killed by another client ends the run with 2, saying nothing more|dialog|xkill|ended 2
dialog stays after a click beside OK|dialog|outside|stays
dialog stays when a press on OK is released beside it|dialog|ok-then-off|stays
dialog stays when a press beside OK is released on it|dialog|beside-then-ok|stays
CASES
# The launcher may print a message a moment after the dialog that sent it has ended.
told=${told%$'\n'}
wait_until untold >/dev/null
check "every dialog tells the launcher that the start is over" "" "$(untold)"
finish
