#!/usr/bin/env bash
# Counts the pixels in which two client-area screenshots of the narrow window differ, leaving
# out where text is drawn (the level and moves labels, the inside of the six large buttons),
# whose pixels depend on each system's fonts. The buttons' bevelled edges are still compared.
# Writes a difference image.
# Usage: tests/e2e/wine_compare.sh FIRST.png SECOND.png DIFFERENCE.png; prints the count.
set -euo pipefail

# Text areas of the screen, as left,top right,bottom (inclusive). A button's text is centred in
# its 81 x 31 rectangle, one line of a 15-pixel font.
masks=(
  "1,0 100,19"      # level label
  "101,0 170,18"    # moves label
)
for top in 45 75 105 145 175 205; do
  masks+=("377,$((top + 4)) 449,$((top + 26))")  # Easy, Medium, Hard, Solve, Picture, Show/Hide
done

draw=()
for rectangle in "${masks[@]}"; do
  draw+=(-draw "rectangle $rectangle")
done
convert "$1" -fill magenta "${draw[@]}" "$3.first.png"
convert "$2" -fill magenta "${draw[@]}" "$3.second.png"
# compare prints the count on stderr and exits 1 when the images differ.
count=$(compare -metric AE "$3.first.png" "$3.second.png" "$3" 2>&1 >/dev/null || true)
rm -f "$3.first.png" "$3.second.png"
echo "${count%% *}"
