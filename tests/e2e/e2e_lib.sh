# Shared pieces of the end-to-end scripts (sourced): the tally, the private virtual display, the
# stand-in URL opener, the screen reader and the screen's places it prints.

passed=0
failed=0

# shellcheck source=tools/virtual_display.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/virtual_display.sh"

pass() { passed=$((passed + 1)); echo "  ok    $1"; }
fail() { failed=$((failed + 1)); echo "  FAIL  $1${2:+: $2}"; }
check() { # name, expected, actual
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected '$2', got '$3'"; fi
}

# Ends the script before any check when a tool it needs is missing.
require_tools() { # tool...
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "$tool is missing (./test.sh installs it)" >&2
      exit 1
    fi
  done
}

# Ends the script at once with one failure, for a part it cannot go on without.
fatal() { # name [reason]
  fail "$1" "${2:-}"
  echo "$passed passed, $failed failed"
  exit 1
}

# The screen reader (tests/e2e/screen_reader.cpp, built in build-asan, or the one named by
# DERADU_SCREEN_READER) reads screenshots; its places (button centres, sizes, keys, the solved
# order) become shell variables here. Without it the script fails at once.
use_screen_reader() { # repository root
  screen_reader=${DERADU_SCREEN_READER:-$1/build-asan/tests/deradu_screen_reader}
  local places
  [ -x "$screen_reader" ] ||
    fatal "the screen reader is built" "no $screen_reader (ninja -C build-asan deradu_screen_reader)"
  places=$("$screen_reader" places) || fatal "the screen reader prints the screen's places" "$places"
  eval "$places"
}

# A window manager's close request (WM_DELETE_WINDOW), built into <work>/close.
build_close_helper() { # work folder
  close_helper="$1/close"
  cc -o "$close_helper" "$(dirname "${BASH_SOURCE[0]}")/linux_close.c" -lX11 2>"$1/close.log" ||
    fatal "the close-request helper is built" "$(cat "$1/close.log")"
}

# Puts an xdg-open first on PATH that records its arguments in <work>/opened.
install_url_recorder() { # work folder
  mkdir -p "$1/bin"
  cat >"$1/bin/xdg-open" <<EOF2
#!/bin/sh
printf '%s\n' "\$#" "\$@" >"$1/opened.tmp" && mv "$1/opened.tmp" "$1/opened"
EOF2
  chmod +x "$1/bin/xdg-open"
  export PATH="$1/bin:$PATH"
}

# Reading the screen. A driver gives `shot`, which takes a screenshot to shot_image (the screen
# reader's IMAGE[@X,Y]: the file and the client area's place in it).
read_board() { # skin [reference]
  "$screen_reader" board "$shot_image" "$@"
}
# Percentage of a named region of the last screenshot that shows its bitmap.
region_percent() { # region
  "$screen_reader" match "$shot_image" "$1"
}
# "yes" when a fresh screenshot shows at least `percent` of the region's bitmap.
shows() { # region [percent]
  shot
  if [ "$(region_percent "$1")" -ge "${2:-90}" ]; then echo yes; else echo no; fi
}

# Tries and the pause between them while waiting for the screen to change; a slower program
# raises them.
wait_tries=25
wait_pause=0.2
deal_attempts=25

# Runs a command until it prints `expected`; prints its last output.
eventually() { # expected, command...
  local expected=$1 out=""
  shift
  for _ in $(seq "$wait_tries"); do
    out=$("$@")
    [ "$out" = "$expected" ] && break
    sleep "$wait_pause"
  done
  echo "$out"
}
fresh_board() { # skin [reference]
  shot
  read_board "$@"
}
# Waits for the board to read as `expected`; prints the last reading.
board_becomes() { # skin expected [reference]
  eventually "$2" fresh_board "$1" ${3:+"$3"}
}

# A board reading (16 values, blank 0) that is a valid deal other than the solved order.
is_deal() { # reading
  [ "$1" != "$solved" ] &&
    [ "$(tr ' ' '\n' <<<"$1" | sort -n | tr '\n' ' ')" = "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 " ]
}

# Waits for a board other than `previous` that is a valid deal and prints it.
new_deal() { # skin previous
  local reading=""
  for _ in $(seq "$deal_attempts"); do
    shot
    reading=$(read_board "$1")
    if [ "$reading" != "$2" ] && is_deal "$reading"; then break; fi
    sleep "$wait_pause"
  done
  echo "$reading"
}

# The X window of the game (in $window): "x y width height" on the screen.
window_geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
window_corner() { window_geometry | cut -d' ' -f1,2; }
window_size() { window_geometry | cut -d' ' -f3,4; }
opacity() { xprop -id "$window" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p'; }
# The opacity's top byte, which is what a compositor uses: 0xbe for 190/255, 0x0 for none.
opacity_byte() {
  local value
  value=$(opacity)
  printf '0x%x' $((${value:-0} >> 24))
}
net_state() { xprop -id "$window" _NET_WM_STATE | sed -n 's/.* = //p'; }
