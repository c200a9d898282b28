#!/usr/bin/env bash
# Fails when a source includes a header, or a library links a library, of a layer it may not use.
# The one table below holds the arrows; a layer may use what its arrows reach, directly or through
# other layers, and its own files. Tests and benchmarks may include and link anything.
# Usage: tools/check_layers.sh [SOURCE-ROOT]. Prints each include and each link against the
# arrows. The links are read from CMake's own graph of a fresh configuration of the Linux
# program, and of the Windows program when the MinGW-w64 compiler is there.
set -euo pipefail
root=$(realpath "${1:-$(dirname "$0")/..}")

# layer (a folder; the deepest folder that is a layer owns a file) -> the layers it may use.
# platform holds the ground: the drawing interface, the host interface and the messages. The
# hosts stand on the drawing kit and never on the game or its settings; only the programs join
# them, and say where the settings file lies.
declare -A arrows=(
  [skin]=""
  [widgets]="skin platform"
  [puzzle]="widgets"
  [settings]=""
  [app]="puzzle settings platform"
  [platform]=""
  [gfx]="platform"
  [gfx/codecs]="gfx"
  [gfx/resources]="gfx/codecs"
  [hosts/headless]="gfx"
  [hosts/posix]="gfx"
  [hosts/x11]="hosts/posix"
  [hosts/wayland]="hosts/posix gfx"
  [hosts/win32]="platform"
  [programs/linux]="app settings hosts/x11 hosts/wayland gfx/resources"
  [programs/windows]="app settings hosts/win32"
  [tools]="gfx/resources"
)
# The portable game names no system's header; the settings file's system calls are the one
# exception, and they live in settings/*Posix.cpp and settings/*Win32.cpp.
portable="skin widgets puzzle app"
platform_headers='#include <(windows\.h|win[a-z]*\.h|shellapi\.h|shlwapi\.h|shlobj\.h|X11/|xcb/|ft2build\.h|freetype/|fontconfig/|png\.h)'

# Headers the configuration writes beside the program that includes them, in the build folder.
generated=" programs/linux/HelpText.h "
# The Wayland protocols' client headers, which wayland-scanner writes (hosts/wayland/CMakeLists.txt).
for protocol in xdg-shell xdg-decoration-unstable-v1 fractional-scale-v1 viewporter xdg-activation-v1; do
  generated+="hosts/wayland/wayland/$protocol-client-protocol.h "
done

# The layer owning a path such as "gfx/codecs/PngWriter.h", or nothing.
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
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' '*.c' \
                       2>/dev/null ||
                     find . \( -name '*.[hc]' -o -name '*.cpp' \) -not -path './build*' |
                       sed 's|^\./||')

# Includes: one pass of grep over every source.
declare -A owner=()
while IFS=: read -r file line text; do
  [ -n "${owner[$file]+set}" ] || owner[$file]=$(layer_of "$file")
  layer=${owner[$file]}
  [ -n "$layer" ] || continue
  header=${text#*\"}
  header=${header%%\"*}
  target=$(layer_of "$header")
  beside="$(dirname "$file")/$header"
  if [ -z "$target" ] && [ ! -e "$beside" ] && [[ "$generated" != *" $beside "* ]]; then
    echo "$file:$line: \"$header\" is in no layer"
    failures=$((failures + 1))
  elif [ -n "$target" ] && [[ "${reach[$layer]}" != *" $target "* ]]; then
    echo "$file:$line: $layer may not include \"$header\" ($target)"
    failures=$((failures + 1))
  fi
done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${files[@]}" || true)

portable_files=()
for file in "${files[@]}"; do
  [[ " $portable " == *" $(layer_of "$file") "* ]] && portable_files+=("$file")
done
while IFS=: read -r file line text; do
  echo "$file:$line: the portable game includes a system's header: $text"
  failures=$((failures + 1))
done < <(grep -HnE "^[[:space:]]*$platform_headers" "${portable_files[@]}" || true)

# Links: every edge between two of our targets in CMake's graph. A target belongs to the layer of
# the folder whose CMakeLists.txt makes it; where two folders make a target of the same name (the
# program), the configuration's own object folder says which.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check_links() { # name [cmake arguments]
  local name=$1 from to from_layer to_layer
  shift
  if ! cmake -S "$root" -B "$work/$name" -G Ninja -DDERADU_TESTS=OFF -DDERADU_BENCH=OFF "$@" \
       --graphviz="$work/$name.dot" >"$work/$name.log" 2>&1; then
    cat "$work/$name.log"
    echo "the $name configuration failed, so its links could not be checked"
    failures=$((failures + 1))
    return 0
  fi
  declare -A target_layer=()
  local definition folder target
  while IFS= read -r definition; do
    folder=${definition%%/CMakeLists.txt:*}
    [ "$folder" = "$definition" ] && folder=.
    target=${definition#*(}
    target=${target%%[ )]*}
    if [ -z "${target_layer[$target]+set}" ] || [ -d "$work/$name/$folder/CMakeFiles/$target.dir" ]; then
      target_layer[$target]=$(layer_of "$folder/CMakeLists.txt")
    fi
  done < <(grep -HoE '^[[:space:]]*add_(library|executable)\([A-Za-z0-9_-]+' \
             $(git ls-files --cached --others --exclude-standard -- 'CMakeLists.txt' '*/CMakeLists.txt'))
  while read -r from to; do
    [ -n "${target_layer[$from]+set}" ] && [ -n "${target_layer[$to]+set}" ] || continue
    from_layer=${target_layer[$from]}
    to_layer=${target_layer[$to]}
    [ -n "$from_layer" ] && [ -n "$to_layer" ] || continue
    if [[ "${reach[$from_layer]}" != *" $to_layer "* ]]; then
      echo "$name link: $from ($from_layer) may not link $to ($to_layer)"
      failures=$((failures + 1))
    fi
  done < <(sed -nE 's|^.*"node[0-9]+" -> "node[0-9]+".*// ([^ ]+) -> ([^ ]+)$|\1 \2|p' \
             "$work/$name.dot")
}
check_links linux
if command -v i686-w64-mingw32-g++ >/dev/null; then
  check_links windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures include(s) or link(s) against the layers' arrows (tools/check_layers.sh)"
  exit 1
fi
echo "Every include and every link follows the layers' arrows."
