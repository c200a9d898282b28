#!/usr/bin/env bash
# Takes the help page's pictures from the real Linux program on a private virtual display and
# writes them, optimised, to web/deradu/images/. Run it after the game's look changes.
# Usage: tools/web_screenshots.sh [BINARY]   (default build/deradu)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$root/build/deradu}")
out="$root/web/deradu/images"

# shellcheck source=tools/packages.sh
source "$root/tools/packages.sh"
ensure_packages test pictures
# shellcheck source=tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"

begin_script web_screenshots
start_virtual_display "$work"
# Help must not start a real browser on the virtual display.
install_url_recorder "$work"

XDG_CONFIG_HOME="$work/config" "$binary" >"$work/game.log" 2>&1 &
started $!
window=$(wait_window $!) || fatal "the game's window appears" "$(cat "$work/game.log")"

# The tick repaints within milliseconds; half a second leaves room for a loaded machine.
settle() { sleep 0.5; }
click() { # client x y
  xdotool mousemove --window "$window" "$1" "$2" click 1
  xdotool mousemove --window "$window" 200 385
  settle
}
click_cell() { click $((30 + 78 * $1 + 39)) $((45 + 78 * $2 + 39)); }
# A palette of at most 256 colours keeps the textured background recognisable at a third of
# the size; optipng then finds the best lossless packing.
small() { # source target
  pngquant --quality 65-90 --speed 1 --strip --force --output "$2" "$1" || cp "$1" "$2"
  optipng -quiet -o5 "$2"
}
save() { # name [crop geometry]
  import -window "$window" "$work/shot.png"
  convert "$work/shot.png" ${2:+-crop "$2" +repage} -strip "$work/$1.png"
  small "$work/$1.png" "$out/$1.png"
}

mkdir -p "$out"
settle
save game
save switches-off 60x20+411+1

# Both switches on: their pictures change; the virtual display has no compositor, so the
# window itself stays opaque in the screenshot.
click 441 11
click 461 11
save switches-on 60x20+411+1
click 441 11
click 461 11

# Solve, then one tile out and back in: the player's own finish shows the banner.
xdotool key --window "$window" s
settle
click_cell 2 3
click_cell 3 3
save completed

click 413 190 # Picture
click 413 220 # Show
xdotool key --window "$window" n
settle
save picture

convert "$root/res/deradu.ico[0]" -strip "$work/icon.png"
small "$work/icon.png" "$out/icon.png"
ls -l "$out"
