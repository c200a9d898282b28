#!/usr/bin/env bash
# The help page as a player's browser gets it: web/ served by PHP's built-in server, the page
# opened in headless Chromium at a desktop and a phone width, the v parameter from the known
# version to hostile values, an HTML validator, every link and picture, and the address the
# real program opens when Help is clicked.
# Usage: tests/web/help_page.sh PROGRAM [SCREEN_READER]. Prints "N passed, N failed"; exits
# non-zero on a failure. The two screenshots are left beside PROGRAM (help-page-desktop.png,
# help-page-phone.png).
here=$(cd "$(dirname "$0")" && pwd)
web=$(cd "$here/../../web" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/../e2e/e2e_lib.sh"
use_program "${1:-}"
begin_script help_page
require_tools php curl chromium tidy convert identify Xvfb xdotool
use_screen_reader "$here/../.." "${2:-}"
shots=$(dirname "$binary")

# PHP's server on a free port: a port someone else holds makes it exit at once, so another
# is tried.
server_answers() { # or has ended
  grep -q 'Development Server .* started' "$work/server.log" || ! kill -0 "$server_pid" 2>/dev/null
}
start_server() {
  local port
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    # Every PHP diagnostic goes into the page, where the cases below look for it.
    php -d display_errors=1 -d error_reporting=-1 -S "127.0.0.1:$port" -t "$web" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    started "$server_pid"
    wait_until server_answers
    if grep -q 'Development Server .* started' "$work/server.log"; then
      site="http://127.0.0.1:$port"
      return 0
    fi
    kill -TERM "$server_pid" 2>/dev/null
    wait "$server_pid" 2>/dev/null
  done
  return 1
}

# The raw HTML for a query into <work>/page.html; prints the HTTP status.
fetch() { # query-string arguments for curl -G (--data-urlencode ...)
  curl -sS -g -G -o "$work/page.html" -w '%{http_code}' "$@" "$site/deradu/index.php"
}

browser() { # chromium arguments...
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout "$wait_seconds" chromium --headless --no-sandbox --disable-gpu --disable-quic \
    --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$profile" "$@" 2>>"$work/chromium.log"
}

# "yes" when the leftmost and rightmost pixel columns of a screenshot are the same: the page
# is centred between plain margins, so anything running off the right edge breaks the match.
# Nothing when the image cannot be read.
edges_match() { # image
  local left right
  left=$(convert "$1" -gravity West -crop 1x+0+0 +repage -depth 8 rgb:- | md5sum) || return
  right=$(convert "$1" -gravity East -crop 1x+0+0 +repage -depth 8 rgb:- | md5sum) || return
  [ "$left" = "$right" ] && echo yes || echo no
}

start_server || fatal "PHP's built-in server starts" "$(cat "$work/server.log")"

# ---------------------------------------------------------------------------------------------
echo "== The v parameter"
known="You are playing version 1.0u"
neutral="This page describes Qor Deradu 1.0."
long=$(printf '1.0u%.0s' $(seq 2500))
# name | curl query argument (empty: none) | line expected | the value must not appear
cases=(
  "v=1.0u|v=1.0u|$known|"
  "no v||$neutral|"
  "an unknown version|v=2.0|$neutral|"
  "the known version and a line break|v=1.0u
|$neutral|"
  "v given as a list|v[]=1.0u|$neutral|"
  "markup|v=\"><script>alert(1)</script>|$neutral|hostile"
  "10,000 characters|v=$long|$neutral|hostile"
  "a path|v=../../etc/passwd|$neutral|hostile"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r -d '' name argument expected hostile <<<"$entry"
  hostile=${hostile%$'\n'}
  if [ -n "$argument" ]; then status=$(fetch --data-urlencode "$argument"); else status=$(fetch); fi
  check "$name: the page answers" 200 "$status"
  check "$name: the version line reads \"$expected\"" 1 \
    "$(grep -cF -- "<p class=\"version\">$expected</p>" "$work/page.html")"
  if [ "$expected" != "$known" ]; then
    check "$name: no version is claimed" 0 "$(grep -c 'You are playing' "$work/page.html")"
  fi
  if [ -n "$hostile" ]; then
    value=${argument#v=}
    check "$name: the value appears nowhere in the HTML" 0 \
      "$(grep -cF -- "$value" "$work/page.html")"
    check "$name: the page holds no script and no line of a system file" "0 0" \
      "$(grep -ci '<script' "$work/page.html") $(grep -c 'root:' "$work/page.html")"
  fi
  check "$name: PHP reports nothing" 0 \
    "$(grep -cE '(Warning|Notice|Deprecated|Fatal error)(</b>)?: ' "$work/page.html")"
done

browser --dump-dom "$site/deradu/index.php?v=%22%3E%3Cscript%3Ealert(1)%3C/script%3E" \
  >"$work/dom.html"
check "the browser's document for markup in v has the neutral line and no script" "1 0" \
  "$(grep -cF "$neutral" "$work/dom.html") $(grep -ci '<script' "$work/dom.html")"

# ---------------------------------------------------------------------------------------------
echo "== Valid HTML, links and pictures"
fetch --data-urlencode v=1.0u >/dev/null
cp "$work/page.html" "$work/known.html"
# tidy knows HTML5; with -e it lists errors and warnings only, and any one of them fails.
tidy -q -e "$work/known.html" >"$work/tidy.txt" 2>&1
check "tidy finds no error and no warning" "0 " "$? $(tr '\n' ' ' <"$work/tidy.txt")"

grep -oE '(href|src)="[^"]*"' "$work/known.html" | sed -E 's/^[a-z]+="(.*)"$/\1/' | sort -u \
  >"$work/targets.txt"
missing=""
while read -r target; do
  case $target in
    '#'*) grep -qF "id=\"${target#\#}\"" "$work/known.html" || missing+=" $target" ;;
    *:* | //*) missing+=" $target (outside the site)" ;;
    *)
      code=$(curl -sS -o /dev/null -w '%{http_code}' "$site/deradu/$target")
      [ "$code" = 200 ] || missing+=" $target ($code)"
      ;;
  esac
done <"$work/targets.txt"
check "every link and picture of the page resolves ($(wc -l <"$work/targets.txt") targets)" "" \
  "$missing"

# ---------------------------------------------------------------------------------------------
echo "== The page in the browser"
browser --window-size=1280,800 --screenshot="$shots/help-page-desktop.png" \
  "$site/deradu/index.php?v=1.0u" >/dev/null
check "a 1280 x 800 screenshot is taken" "1280x800" \
  "$(identify -format '%wx%h' "$shots/help-page-desktop.png" 2>/dev/null)"
check "at 1280 pixels nothing runs off the right edge" yes \
  "$(edges_match "$shots/help-page-desktop.png")"
# Tall enough for the whole page, so the check sees every section.
browser --window-size=390,12000 --screenshot="$work/phone-full.png" \
  "$site/deradu/index.php?v=1.0u" >/dev/null
check "at a phone's 390 pixels nothing runs off the right edge" yes \
  "$(edges_match "$work/phone-full.png")"
# The kept phone screenshot ends a little below the page's last line.
bottom=$(convert "$work/phone-full.png" -trim -format '%[fx:page.y + h + 8]' info: 2>/dev/null)
convert "$work/phone-full.png" -crop "390x${bottom:-12000}+0+0" +repage \
  "$shots/help-page-phone.png" 2>/dev/null
check "the browser's requests for the page, its stylesheet and pictures all found their file" \
  "" "$(grep -E '\[[0-9]{3}\]:' "$work/server.log" | grep -vE '\[(200|304)\]:' | head -n 3)"
echo "  Screenshots: $shots/help-page-desktop.png $shots/help-page-phone.png"

# ---------------------------------------------------------------------------------------------
echo "== The address the program opens"
start_virtual_display "$work" || fatal "the virtual display starts"
install_url_recorder "$work"
XDG_CONFIG_HOME="$work/config" "$binary" >"$work/game.log" 2>&1 &
game_pid=$!
started "$game_pid"
if window=$(wait_window "$game_pid" "$title"); then
  xdotool mousemove --window "$window" "${help[@]}" click 1
  wait_until test -f "$work/opened"
fi
kill -TERM "$game_pid" 2>/dev/null
wait_exit "$game_pid"
url=$(sed -n 2p "$work/opened" 2>/dev/null)
path_query="/${url#*://*/}"
check "Help opens an https address on the site's host" yes \
  "$([[ $url =~ ^https://[a-z0-9.-]+/ ]] && echo yes || echo no)"
check "its path and query are the page's" "$help_page_path" "$path_query"
status=$(curl -sS -o "$work/page.html" -w '%{http_code}' "$site$path_query")
check "the local server answers that path and query with the version line" "200 1" \
  "$status $(grep -cF "<p class=\"version\">$known</p>" "$work/page.html")"
finish
