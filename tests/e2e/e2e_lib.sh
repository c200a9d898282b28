# Shared pieces of the end-to-end scripts (sourced): the tally, a private virtual display, the
# stand-in URL opener and the tile tables read from the bitmaps.

passed=0
failed=0
xvfb_pid=""

pass() { passed=$((passed + 1)); echo "  ok    $1"; }
fail() { failed=$((failed + 1)); echo "  FAIL  $1${2:+: $2}"; }
check() { # name, expected, actual
  if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "expected '$2', got '$3'"; fi
}

# Starts Xvfb on a free display number, exports DISPLAY and sets xvfb_pid; the caller's cleanup
# stops it. Without one the whole script fails at once.
start_xvfb() { # work folder
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$1/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  if [ ! -s "$1/display" ]; then
    fail "Xvfb starts"
    echo "$passed passed, $failed failed"
    exit 1
  fi
  DISPLAY=":$(cat "$1/display")"
  export DISPLAY
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

# The pixels of a rectangle of an image, one "r g b" line each, rows top-down.
pixels() { # image, x, y, width, height
  convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 rgb:- | od -An -v -tu1 -w3
}

# Tile tables for linux_board.awk: pixels sampled inside each 78 x 78 tile bitmap, by tile
# value, into <work>/tiles<skin>.txt. Value v shows bitmap base + v, the blank (0) base + 16.
make_tiles() { # work folder, res folder, skin, base
  local v id out="$1/tiles$3.txt"
  : >"$out"
  for v in $(seq 0 15); do
    id=$(($4 + (v == 0 ? 16 : v)))
    pixels "$2/bmp$id.bmp" 0 0 78 78 | awk -v v="$v" '{
        x = (NR - 1) % 78; y = int((NR - 1) / 78)
        if (x % 7 == 4 && y % 7 == 4) print v, x, y, $1, $2, $3
      }' >>"$out"
  done
}

# A board reading (16 values, blank 0) that is a valid deal other than the solved order.
is_deal() { # reading
  [ "$1" != "$solved" ] &&
    [ "$(tr ' ' '\n' <<<"$1" | sort -n | tr '\n' ' ')" = "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 " ]
}

# Percentage of a rectangle of <work>/shot.png equal to the same rectangle of a bitmap of res/.
region_match() { # bitmap id, x, y, width, height [bitmap x, bitmap y]
  pixels "$res/bmp$1.bmp" "${6:-0}" "${7:-0}" "$4" "$5" >"$work/region-bitmap.txt"
  pixels "$work/shot.png" "$2" "$3" "$4" "$5" >"$work/region-shot.txt"
  awk 'FNR == NR { bitmap[FNR] = $0; next } { ++total; if (bitmap[FNR] == $0) ++equal }
    END { print (total > 0 ? int(100 * equal / total) : 0) }' \
    "$work/region-bitmap.txt" "$work/region-shot.txt"
}

# Waits for a board other than `previous` that is a valid deal and prints it. The scripts give
# `shot` (a screenshot to <work>/shot.png) and `read_board`; a slower program may raise
# deal_attempts.
deal_attempts=25
new_deal() { # skin previous
  local reading=""
  for _ in $(seq "$deal_attempts"); do
    shot
    reading=$(read_board "$1")
    if [ "$reading" != "$2" ] && is_deal "$reading"; then break; fi
    sleep 0.2
  done
  echo "$reading"
}

# The X window of the game (in $window): "x y width height" on the screen.
window_geometry() {
  xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
opacity() { xprop -id "$window" _NET_WM_WINDOW_OPACITY | sed -n 's/.* = //p'; }
