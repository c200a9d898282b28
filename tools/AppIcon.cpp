// The window's icon: a little board of coloured squares.
#include "tools/AppIcon.h"

#include <array>

namespace {

constexpr int kSize = 32;
// Squares of 6 pixels on a pitch of 8, with a 1-pixel black margin round the board.
constexpr int kPitch = 8;
constexpr int kSquare = 6;

}  // namespace

Image appIconPicture() {
  constexpr std::array<Rgb, 4> kRows{{
      {255, 214, 0},    // yellow
      {120, 190, 255},  // light blue
      {255, 140, 0},    // orange
      {40, 190, 64},    // green
  }};
  Image icon(kSize, kSize, Rgb{0, 0, 0});
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const Rgb colour = kRows[static_cast<std::size_t>(row)];
      const int left = 1 + column * kPitch;
      const int top = 1 + row * kPitch;
      for (int y = 0; y < kSquare; ++y) {
        for (int x = 0; x < kSquare; ++x) {
          // A lit top and left edge and a shaded bottom and right edge give each square depth.
          Rgb pixel = colour;
          if (x == 0 || y == 0) {
            pixel = mix(colour, Rgb{255, 255, 255}, 0.45);
          } else if (x == kSquare - 1 || y == kSquare - 1) {
            pixel = scaled(colour, 0.7);
          }
          icon.set(left + x, top + y, pixel);
        }
      }
    }
  }
  return icon;
}
