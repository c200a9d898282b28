# What the end-to-end scripts know of the screen (sourced; it brings tests/support/lib.sh): the
# program under test, the screen reader and the places it prints (after begin_script), reading
# the board from screenshots, the game window's geometry and X properties, and the stand-in URL
# opener and close request.

# shellcheck source=tests/support/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

# The program under test as `binary`: DERADU_PROGRAM (the e2e preset's Release build) or ARGUMENT.
use_program() { # argument
  binary=${DERADU_PROGRAM:-${1:-}}
  if [ ! -x "$binary" ]; then
    echo "usage: $0 PROGRAM [SCREEN_READER] (or DERADU_PROGRAM set)" >&2
    exit 2
  fi
  binary=$(realpath "$binary")
}
# Whether the program was built with the sanitizers, which reserve terabytes of address space:
# such a program neither starts under a memory limit nor runs under valgrind.
# (Not a pipe into grep -q: under pipefail, ldd ending on the closed pipe would say no.)
sanitized() { [[ $(ldd "$binary" 2>/dev/null) == *libasan* ]]; }

# The screen reader (tests/e2e/screen_reader.cpp): READER, DERADU_SCREEN_READER, or the one in
# build-asan, built there when missing. Its places (button centres, sizes, keys, the solved
# order) become shell variables here. Without it the script fails at once.
use_screen_reader() { # repository root, [reader]
  local places build="$1/build-asan"
  screen_reader=${2:-${DERADU_SCREEN_READER:-$build/tests/deradu_screen_reader}}
  if [ ! -x "$screen_reader" ] && [ -d "$build" ] && [ -z "${2:-}${DERADU_SCREEN_READER:-}" ]; then
    cmake --build "$build" --target deradu_screen_reader >"$work/screen-reader-build.log" 2>&1
  fi
  [ -x "$screen_reader" ] ||
    fatal "the screen reader is built" "no $screen_reader (cmake --preset asan, then the script)"
  places=$("$screen_reader" places) || fatal "the screen reader prints the screen's places" "$places"
  eval "$places"
}

# A window manager's close request (WM_DELETE_WINDOW), built into <work>/close.
build_close_helper() { # work folder
  close_helper="$1/close"
  cc -o "$close_helper" "$(dirname "${BASH_SOURCE[0]}")/linux_close.c" -lX11 2>"$1/close.log" ||
    fatal "the close-request helper is built" "$(cat "$1/close.log")"
}

# Puts an xdg-open first on PATH that records its arguments in <work>/opened, and in
# <work>/opened.env the launch id it inherited and its ignored signals (a hexadecimal mask);
# each file is renamed into place whole, as several openers may run at once.
install_url_recorder() { # work folder
  mkdir -p "$1/bin"
  cat >"$1/bin/xdg-open" <<EOF2
#!/bin/sh
echo "\${DESKTOP_STARTUP_ID-}|\$(sed -n 's/^SigIgn:[[:space:]]*//p' /proc/\$\$/status)" \
  >"$1/opened.env.\$\$" && mv "$1/opened.env.\$\$" "$1/opened.env"
printf '%s\n' "\$#" "\$@" >"$1/opened.\$\$" && mv "$1/opened.\$\$" "$1/opened"
EOF2
  chmod +x "$1/bin/xdg-open"
  export PATH="$1/bin:$PATH"
}

# The driver's game (game_pid) ends: sets `status` to its exit code, or "running".
game_ends() {
  wait_exit "$game_pid" && game_pid=""
}

# Reading the screen: `shot` takes a screenshot of the window; a driver's shot_image names it as
# the screen reader's IMAGE[@X,Y] (the file and the client area's place in it).
shot() {
  import -window "$window" "$work/shot.png" 2>/dev/null
}
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

# Runs a command until it prints `expected`, for up to `wait_seconds`; prints its last output.
eventually() { # expected, command...
  local expected=$1 out="" deadline=$((SECONDS + wait_seconds))
  shift
  while :; do
    out=$("$@")
    [ "$out" = "$expected" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.2
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
# A deal check: passes when `reading` is a valid deal.
check_deal() { # name, reading
  if is_deal "$2"; then pass "$1"; else fail "$1" "read '$2'"; fi
}
# Waits for a board other than `previous` that is a valid deal and prints it (or the last
# reading, when none came).
new_deal() { # skin previous
  local reading=""
  wait_until deal_other_than "$@"
  echo "$reading"
}
deal_other_than() { # skin previous
  reading=$(fresh_board "$1")
  [ "$reading" != "$2" ] && is_deal "$reading"
}

# The X window of the game (in $window): "x y width height" on the screen.
window_geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
window_corner() { window_geometry | cut -d' ' -f1,2; }
window_size() { window_geometry | cut -d' ' -f3,4; }
# The value of one of the window's X properties.
window_property() { xprop -id "$window" "$1" | sed -n 's/.* = //p'; }
opacity() { window_property _NET_WM_WINDOW_OPACITY; }
# The opacity's top byte, which is what a compositor uses: 0xbe for 190/255, 0x0 for none.
opacity_byte() {
  local value
  value=$(opacity)
  printf '0x%x' $((${value:-0} >> 24))
}
net_state() { window_property _NET_WM_STATE; }

# A screenshot of the narrow client area drawn at a whole scale against one of the same state
# drawn at 1: outside the text every pixel is its scale-1 pixel's, labels freshly rendered.
check_scaled() { # plain scaled scale name
  local compared differing=unread mixed=0
  compared=$("$screen_reader" scaled "$1" "$2" "$3")
  [[ $compared =~ ^differing=[0-9]+\ mixed=[0-9]+$ ]] && eval "$compared"
  check "$4: outside the text every pixel is its scale-1 pixel's" differing=0 "differing=$differing"
  check "$4: the labels' text is rendered at $3 times the size, not enlarged" 1 "$((mixed >= 5))"
}
