# Reads the tiles of a 4 x 4 board of 78-pixel cells from a screenshot.
# Input files: first a tile table ("value x y r g b" lines, pixels sampled inside each tile
# bitmap), then the board's 312 x 312 pixels, one "r g b" line each, rows top-down. Prints the
# 16 values in reading order, "?" for a cell that matches no tile at every sampled pixel.
FNR == NR {
  tile[$1 "," $2 "," $3] = $4 " " $5 " " $6
  if (!($1 in seen)) { seen[$1] = 1; values[++count] = $1 }
  samples[$2 "," $3] = 1
  next
}
{
  i = FNR - 1
  shot[(i % 312) "," int(i / 312)] = $1 " " $2 " " $3
}
END {
  out = ""
  for (row = 0; row < 4; ++row) {
    for (column = 0; column < 4; ++column) {
      found = "?"
      for (i = 1; i <= count && found == "?"; ++i) {
        v = values[i]
        same = 1
        for (s in samples) {
          split(s, p, ",")
          if (shot[(column * 78 + p[1]) "," (row * 78 + p[2])] != tile[v "," s]) { same = 0; break }
        }
        if (same) found = v
      }
      out = out (out == "" ? "" : " ") found
    }
  }
  print out
}
