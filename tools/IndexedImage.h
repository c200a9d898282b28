// Pictures stored with a palette: exact when they have few colours, else a fixed palette.
#pragma once

#include <cstdint>
#include <vector>

struct IndexedImage {
  int width = 0;
  int height = 0;
  // 0x00RRGGBB, at most 256 entries.
  std::vector<std::uint32_t> palette;
  // One palette index per pixel, rows top-down.
  std::vector<std::uint8_t> indices;
};

// `pixels` (0x00RRGGBB, rows top-down) with a palette of its distinct colours in ascending
// order, so the result is exact and the same picture always gives the same bytes. A picture with
// more than 256 colours falls back to a 6 x 6 x 6 colour cube plus 40 greys, each pixel taking
// its nearest entry.
IndexedImage toIndexed(int width, int height, const std::vector<std::uint32_t>& pixels);

// True when `toIndexed` keeps every pixel's colour.
bool fitsPalette(const std::vector<std::uint32_t>& pixels);
