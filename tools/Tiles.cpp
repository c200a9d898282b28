// The 78 x 78 tiles: numbered tiles, the blank, and the pieces of the swirl picture.
#include "tools/Tiles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>

#include "platform/canvas.h"
#include "tools/Bevel.h"
#include "tools/Shapes.h"
#include "tools/TextStamp.h"

namespace {

constexpr int kPictureSize = 4 * kTileSize;

double smoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

Rgb tileColour(int value) {
  constexpr std::array<Rgb, 4> kRows{{
      {188, 236, 172},  // light green
      {248, 184, 178},  // light red
      {176, 232, 242},  // light cyan
      {250, 238, 160},  // light yellow
  }};
  return kRows[static_cast<std::size_t>(std::clamp((value - 1) / 4, 0, 3))];
}

Rgb swirlColour(double x, double y) {
  constexpr std::array<Rgb, 5> kBands{{
      {255, 112, 184},  // pink
      {255, 226, 48},   // yellow
      {72, 214, 96},    // green
      {214, 44, 200},   // magenta
      {48, 116, 255},   // blue
  }};
  constexpr double kCentreX = 150;
  constexpr double kCentreY = 164;
  constexpr double kTurnsPerPixel = 1.0 / 170;
  const double dx = x - kCentreX;
  const double dy = y - kCentreY;
  const double radius = std::hypot(dx, dy);
  const double angle = std::atan2(dy, dx) / (2 * std::numbers::pi);
  // Each band winds further round the farther it is from the centre.
  double band = (angle + radius * kTurnsPerPixel) * 5;
  band -= 5 * std::floor(band / 5);
  const auto index = static_cast<std::size_t>(band);
  const double blend = smoothStep(0.25, 0.75, band - std::floor(band));
  Rgb colour = mix(kBands[index % 5], kBands[(index + 1) % 5], blend);
  // A soft white glow at the heart of the swirl.
  colour = mix(colour, Rgb{255, 255, 255}, 0.55 * std::exp(-radius * radius / 300));
  return colour;
}

}  // namespace

Image numberedTile(TextRenderer& text, int value) {
  Image tile(kTileSize, kTileSize, tileColour(value));
  bevel(tile, BevelStyle{.depth = 4, .light = 0.55, .shade = 0.2, .raised = true});
  const std::string number = std::to_string(value);
  const Font font{48, 0, 700};
  stampText(tile, text, Rect{1, 3, kTileSize + 1, kTileSize + 3}, number, font,
            mix(tileColour(value), Rgb{255, 255, 255}, 0.6));
  stampText(tile, text, Rect{0, 2, kTileSize, kTileSize + 2}, number, font, Rgb{0, 0, 0});
  return tile;
}

Image blankTile() { return Image(kTileSize, kTileSize, Rgb{255, 255, 255}); }

Image swirlPicture() {
  Image picture(kPictureSize, kPictureSize);
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      // Four samples per pixel keep the narrow bands near the centre smooth.
      Rgb sum;
      for (const double oy : {0.25, 0.75}) {
        for (const double ox : {0.25, 0.75}) {
          const Rgb sample = swirlColour(x + ox, y + oy);
          sum = {sum.r + sample.r, sum.g + sample.g, sum.b + sample.b};
        }
      }
      picture.set(x, y, scaled(sum, 0.25));
    }
  }
  // The red patch at the top right, with a darker rim.
  fill(picture, circle(268, 42, 25), Rgb{176, 8, 16});
  fill(picture, circle(268, 42, 22.5), [](double x, double y) {
    return mix(Rgb{255, 70, 60}, Rgb{214, 12, 20},
               std::clamp(std::hypot(x - 260, y - 34) / 28, 0.0, 1.0));
  });
  return picture;
}

Image swirlPiece(int value) {
  static const Image kPicture = swirlPicture();
  const int index = std::clamp(value, 1, 16) - 1;
  return kPicture.cropped(index % 4 * kTileSize, index / 4 * kTileSize, kTileSize, kTileSize);
}
