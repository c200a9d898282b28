// The reference picture: the solved arrangement of the current skin's tiles.
#pragma once

#include "widgets/scobGrid.h"

class Solution final : public scobGrid {
 public:
  // Cells read 1..16 left to right, top to bottom; 16 shows the blank tile in both skins.
  Solution();
};
