// The program's icon: a little board of coloured squares, at any of the sizes desktops ask for.
#include "tools/AppIcon.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::array<Rgb, 4> kRows{{
    {255, 214, 0},    // yellow
    {120, 190, 255},  // light blue
    {255, 140, 0},    // orange
    {40, 190, 64},    // green
}};

// A square's pixel at (x, y) of side `square`: a lit top and left edge and a shaded bottom and
// right edge, `edge` pixels wide, give it depth.
Rgb squarePixel(Rgb colour, int x, int y, int square, int edge) {
  if (x < edge || y < edge) return mix(colour, Rgb{255, 255, 255}, 0.45);
  if (x >= square - edge || y >= square - edge) return scaled(colour, 0.7);
  return colour;
}

// How much of the pixel (px, py) lies inside the rectangle [left, left + side) squared with
// corners rounded by `radius`: 4 x 4 samples per pixel.
double roundedCoverage(int px, int py, double left, double top, double side, double radius) {
  constexpr int kSamples = 4;
  int inside = 0;
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      const double x = px + (sx + 0.5) / kSamples - left;
      const double y = py + (sy + 0.5) / kSamples - top;
      if (x < 0 || y < 0 || x >= side || y >= side) continue;
      // Distance into the nearest corner's square of side `radius`.
      const double dx = std::max({radius - x, x - (side - radius), 0.0});
      const double dy = std::max({radius - y, y - (side - radius), 0.0});
      if (dx * dx + dy * dy <= radius * radius) ++inside;
    }
  }
  return static_cast<double>(inside) / (kSamples * kSamples);
}

}  // namespace

Image appIconPicture(int size) {
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
          icon.set(left + x, top + y, squarePixel(colour, x, y, square, edge));
        }
      }
    }
  }
  return icon;
}

std::vector<std::uint32_t> IconPicture::packedArgb() const {
  std::vector<std::uint32_t> pixels = colour.packed();
  for (std::size_t i = 0; i < pixels.size() && i < alpha.size(); ++i) {
    const auto a = static_cast<std::uint32_t>(std::lround(std::clamp(alpha[i], 0.0, 1.0) * 255));
    pixels[i] = (pixels[i] & 0xFFFFFFu) | a << 24;
  }
  return pixels;
}

IconPicture desktopIconPicture(int size) {
  const Rgb tray{38, 42, 50};
  const Rgb hole{22, 24, 29};
  // Margin, the tray's border and the gaps grow with the size, a pixel at least; squares too
  // small for lit and shaded edges (16) are flat.
  const int margin = std::max(1, size / 16);
  const int border = std::max(1, size / 32);
  const int gap = std::max(1, size / 64);
  const int square = (size - 2 * margin - 2 * border - 3 * gap) / 4;
  const int edge = square >= 4 ? std::max(1, static_cast<int>(std::lround(square / 10.0))) : 0;
  const int board = 4 * square + 3 * gap + 2 * border;
  const int left = (size - board) / 2;
  const double trayRadius = std::max(1.0, board / 10.0);
  const double squareRadius = size >= 48 ? square / 8.0 : 0.0;

  IconPicture icon{Image(size, size, tray),
                   std::vector<double>(static_cast<std::size_t>(size) * size, 0.0)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      icon.alpha[static_cast<std::size_t>(y) * size + x] =
          roundedCoverage(x, y, left, left, board, trayRadius);
    }
  }
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      const int squareLeft = left + border + column * (square + gap);
      const int squareTop = left + border + row * (square + gap);
      const bool empty = row == 3 && column == 3;
      for (int y = 0; y < square; ++y) {
        for (int x = 0; x < square; ++x) {
          const int px = squareLeft + x;
          const int py = squareTop + y;
          const double cover =
              roundedCoverage(px, py, squareLeft, squareTop, square, squareRadius);
          const Rgb colour =
              empty ? hole : squarePixel(kRows[static_cast<std::size_t>(row)], x, y, square, edge);
          icon.colour.set(px, py, mix(icon.colour.at(px, py), colour, cover));
        }
      }
    }
  }
  return icon;
}
