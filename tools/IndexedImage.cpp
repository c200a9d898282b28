// Pictures stored with a palette: exact when they have few colours, else a fixed palette.
#include "tools/IndexedImage.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

constexpr std::size_t kPaletteSize = 256;

std::vector<std::uint32_t> distinctColours(const std::vector<std::uint32_t>& pixels) {
  std::vector<std::uint32_t> colours = pixels;
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  return colours;
}

std::vector<std::uint32_t> fixedPalette() {
  std::vector<std::uint32_t> palette;
  for (std::uint32_t r = 0; r < 6; ++r) {
    for (std::uint32_t g = 0; g < 6; ++g) {
      for (std::uint32_t b = 0; b < 6; ++b) {
        palette.push_back(r * 51 << 16 | g * 51 << 8 | b * 51);
      }
    }
  }
  // Greys between the cube's own greys (multiples of 51), which it lacks most.
  for (std::uint32_t i = 0; palette.size() < kPaletteSize; ++i) {
    const std::uint32_t level = 6 + i * 6 + i / 8 * 3;
    palette.push_back(level << 16 | level << 8 | level);
  }
  return palette;
}

int distanceSquared(std::uint32_t first, std::uint32_t second) {
  int sum = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int difference =
        static_cast<int>(first >> shift & 0xFF) - static_cast<int>(second >> shift & 0xFF);
    sum += difference * difference;
  }
  return sum;
}

std::uint8_t nearest(const std::vector<std::uint32_t>& palette, std::uint32_t colour) {
  std::size_t best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const int distance = distanceSquared(palette[i], colour);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return static_cast<std::uint8_t>(best);
}

}  // namespace

bool fitsPalette(const std::vector<std::uint32_t>& pixels) {
  return distinctColours(pixels).size() <= kPaletteSize;
}

IndexedImage toIndexed(int width, int height, const std::vector<std::uint32_t>& pixels) {
  IndexedImage result;
  result.width = width;
  result.height = height;
  result.palette = distinctColours(pixels);
  const bool exact = result.palette.size() <= kPaletteSize;
  if (!exact) {
    result.palette = fixedPalette();
  }
  result.indices.reserve(pixels.size());
  for (const std::uint32_t pixel : pixels) {
    if (exact) {
      const auto found = std::lower_bound(result.palette.begin(), result.palette.end(), pixel);
      result.indices.push_back(static_cast<std::uint8_t>(found - result.palette.begin()));
    } else {
      result.indices.push_back(nearest(result.palette, pixel));
    }
  }
  return result;
}
