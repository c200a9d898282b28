#!/usr/bin/env bash
# Fails when a source includes a header of a layer it may not use. The one table below holds the
# arrows; a layer may use what its arrows reach, directly or through other layers, and its own
# files. Tests and benchmarks may include anything.
# Usage: tools/check_layers.sh [SOURCE-ROOT]. Prints each include against the arrows.
set -euo pipefail
root=$(realpath "${1:-$(dirname "$0")/..}")

# layer (a folder; the deepest folder that is a layer owns a file) -> the layers it may use.
# platform holds the ground: the drawing interface, the host interface and the messages.
declare -A arrows=(
  [skin]=""
  [widgets]="skin platform"
  [puzzle]="widgets"
  [settings]=""
  [app]="puzzle settings platform"
  [platform]=""
  [platform/soft]="platform"
  [platform/soft/codecs]="platform/soft"
  [platform/resources]="platform/soft/codecs"
  [platform/headless]="platform/soft"
  [platform/x11]="app settings platform/resources"
  [platform/win32]="app"
  [tools]="platform/resources"
)
# The portable game names no system's header; the settings file's system calls are the one
# exception, and they live in settings/RegularFile*.cpp.
portable="skin widgets puzzle app"
platform_headers='^#include <(windows\.h|win[a-z]*\.h|shellapi\.h|shlwapi\.h|X11/|xcb/|ft2build\.h|freetype/|fontconfig/|png\.h)'

# The layer owning a path such as "platform/soft/codecs/PngWriter.h", or nothing.
layer_of() {
  local dir=${1%/*}
  [ "$dir" = "$1" ] && return 0
  while :; do
    if [ -n "${arrows[$dir]+set}" ]; then
      echo "$dir"
      return 0
    fi
    [ "$dir" = "${dir%/*}" ] && return 0
    dir=${dir%/*}
  done
}

# Everything a layer may use: the arrows followed to their ends.
declare -A reach=()
for layer in "${!arrows[@]}"; do
  seen=" $layer "
  todo=${arrows[$layer]}
  while [ -n "${todo// /}" ]; do
    read -r next todo <<<"$todo"
    [[ "$seen" == *" $next "* ]] && continue
    seen+="$next "
    todo+=" ${arrows[$next]}"
  done
  reach[$layer]=$seen
done

cd "$root"
failures=0
while IFS= read -r file; do
  layer=$(layer_of "$file")
  [ -n "$layer" ] || continue
  while IFS=: read -r line text; do
    header=${text#*\"}
    header=${header%%\"*}
    target=$(layer_of "$header")
    if [ -z "$target" ] && [ ! -e "$(dirname "$file")/$header" ]; then
      echo "$file:$line: \"$header\" is in no layer"
      failures=$((failures + 1))
    elif [ -n "$target" ] && [[ "${reach[$layer]}" != *" $target "* ]]; then
      echo "$file:$line: $layer may not include \"$header\" ($target)"
      failures=$((failures + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
  if [[ " $portable " == *" $layer "* ]]; then
    while IFS=: read -r line text; do
      echo "$file:$line: the portable game includes a system's header: $text"
      failures=$((failures + 1))
    done < <(grep -nE "$platform_headers" "$file" || true)
  fi
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' '*.c' 2>/dev/null ||
         find . \( -name '*.[hc]' -o -name '*.cpp' \) -not -path './build*' | sed 's|^\./||')

if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) against the layers' arrows (tools/check_layers.sh)"
  exit 1
fi
echo "Every include follows the layers' arrows."
