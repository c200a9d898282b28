#!/usr/bin/env bash
# The two checkers fail on what they exist to find: the layer check on an include and a link
# against the arrows, the facts check on a help page that says other than the facts. Each runs
# on a copy of the tree with the fault planted.
# Usage: tests/tools/checkers.sh. Prints "N passed, N failed".
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=tests/support/lib.sh
source "$root/tests/support/lib.sh"
begin_script checkers
require_tools git cmake

# The copy: every file git knows, in a repository of its own whose files are all untracked.
tree="$work/tree"
mkdir -p "$tree"
(cd "$root" && git ls-files -z | xargs -0 cp --parents -t "$tree") ||
  fatal "the tree is copied"
git -C "$tree" init -q

echo "== tools/player_facts.sh --check"
check_that "the copy's help page says what the facts say" "$tree/tools/player_facts.sh" --check
sed -i '/^== keys-focus/,/^$/s/keyboard focus/mouse/' "$tree/docs/player-facts.txt"
status=0
"$tree/tools/player_facts.sh" --check >/dev/null 2>&1 || status=$?
check "a fact changed without the page: the check fails" 1 "$status"

echo "== tools/check_layers.sh"
# The drawing kit reaching up into the game, by an include and by a link.
echo '#include "app/Application.h"' >>"$tree/gfx/Surface.cpp"
echo 'target_link_libraries(deradu_gfx PRIVATE deradu_app)' >>"$tree/gfx/CMakeLists.txt"
status=0
"$tree/tools/check_layers.sh" "$tree" >"$work/layers.log" 2>&1 || status=$?
check "an include and a link against the arrows: the check fails and names both" \
  "1|gfx/Surface.cpp:|linux link: deradu_gfx (gfx) may not link deradu_app (app)" \
  "$status|$(grep -o '^gfx/Surface.cpp:' "$work/layers.log")|$(grep -o '^linux link: deradu_gfx .*' "$work/layers.log")"
finish
