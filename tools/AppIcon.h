// The program's icon: a little board of coloured squares, at any of the sizes desktops ask for.
#pragma once

#include <array>

#include "tools/Image.h"

// The square sizes of the desktop's icon theme, smallest first; 32 is the window's own icon.
inline constexpr std::array<int, 7> kDesktopIconSizes{16, 24, 32, 48, 64, 128, 256};

// size x size: four rows of four squares, yellow, light blue, orange and green, on black.
// At 32 this is the icon of the program's resources; other sizes keep the same design on a
// whole-pixel grid (a quarter of the size per square), so small sizes stay sharp.
Image appIconPicture(int size);
