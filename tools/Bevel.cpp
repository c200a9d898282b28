// Raised and sunken edges for button faces, plaques and tiles.
#include "tools/Bevel.h"

#include <algorithm>

void bevel(Image& image, const BevelStyle& style) {
  constexpr Rgb kWhite{255, 255, 255};
  constexpr Rgb kBlack{0, 0, 0};
  const int width = image.width();
  const int height = image.height();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int left = x;
      const int top = y;
      const int right = width - 1 - x;
      const int bottom = height - 1 - y;
      const int ring = std::min({left, top, right, bottom});
      if (ring >= style.depth) {
        continue;
      }
      // Top and left are lit; on the mitres the nearer of the two sides decides.
      const bool litSide = std::min(left, top) < std::min(right, bottom) ||
                           (std::min(left, top) == std::min(right, bottom) && left <= bottom);
      const bool lit = litSide == style.raised;
      const double fade = 1 - static_cast<double>(ring) / style.depth;
      if (lit) {
        image.set(x, y, mix(image.at(x, y), kWhite, style.light * fade));
      } else {
        image.set(x, y, mix(image.at(x, y), kBlack, style.shade * fade));
      }
    }
  }
}

void outline(Image& image, Rgb colour, Rgb corner) {
  const int right = image.width() - 1;
  const int bottom = image.height() - 1;
  for (int x = 0; x <= right; ++x) {
    image.set(x, 0, colour);
    image.set(x, bottom, colour);
  }
  for (int y = 0; y <= bottom; ++y) {
    image.set(0, y, colour);
    image.set(right, y, colour);
  }
  const Rgb softened = mix(colour, corner, 0.5);
  image.set(0, 0, softened);
  image.set(right, 0, softened);
  image.set(0, bottom, softened);
  image.set(right, bottom, softened);
}
