// The program's icon: a little board of coloured squares, at any of the sizes desktops ask for.
#include "tools/AppIcon.h"

#include <algorithm>

Image appIconPicture(int size) {
  constexpr std::array<Rgb, 4> kRows{{
      {255, 214, 0},    // yellow
      {120, 190, 255},  // light blue
      {255, 140, 0},    // orange
      {40, 190, 64},    // green
  }};
  // At 32: squares of 6 pixels on a pitch of 8 with a 1-pixel black margin round the board and
  // 1-pixel lit and shaded edges. Other sizes scale pitch, square and edge, centring the board.
  const int pitch = size / 4;
  const int square = pitch * 3 / 4;
  const int margin = (size - (3 * pitch + square)) / 2;
  const int edge = std::max(1, size / 32);
  Image icon(size, size, Rgb{0, 0, 0});
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const Rgb colour = kRows[static_cast<std::size_t>(row)];
      const int left = margin + column * pitch;
      const int top = margin + row * pitch;
      for (int y = 0; y < square; ++y) {
        for (int x = 0; x < square; ++x) {
          // A lit top and left edge and a shaded bottom and right edge give each square depth.
          Rgb pixel = colour;
          if (x < edge || y < edge) {
            pixel = mix(colour, Rgb{255, 255, 255}, 0.45);
          } else if (x >= square - edge || y >= square - edge) {
            pixel = scaled(colour, 0.7);
          }
          icon.set(left + x, top + y, pixel);
        }
      }
    }
  }
  return icon;
}
