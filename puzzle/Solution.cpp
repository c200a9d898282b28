// The reference picture's fixed cells.
#include "puzzle/Solution.h"

Solution::Solution() {
  cursorColumn = 1;
  cursorRow = 1;
  showLines = 1;
  showCursor = 0;
  visible = true;
  mouseActive = false;
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) cells[column][row] = row * 4 + column + 1;
  }
}
