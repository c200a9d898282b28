// The program's icon: a little board of coloured squares, at any of the sizes desktops ask for.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "tools/Image.h"

// The square sizes of the desktop's icon theme, smallest first; 32 is the window's own icon.
inline constexpr std::array<int, 7> kDesktopIconSizes{16, 24, 32, 48, 64, 128, 256};

// size x size: four rows of four squares, yellow, light blue, orange and green, on black: the
// icon of the program's resources (drawn at 32).
Image appIconPicture(int size);

// A picture with coverage: colour and, per pixel, its opacity (0..1).
struct IconPicture {
  Image colour;
  std::vector<double> alpha;

  // 0xAARRGGBB, rows top-down.
  std::vector<std::uint32_t> packedArgb() const;
};

// The desktop's and the installer's icon, drawn at size x size: the same rows of squares on a
// dark tray with rounded corners, the last square empty so that it reads as a sliding puzzle,
// and a transparent margin. Squares, gaps and edges are whole pixels of this size, so no size
// is another enlarged.
IconPicture desktopIconPicture(int size);
