// Reads PNG files into 0x00RRGGBB pixels, for comparing drawings with golden images.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // rows top-down
};

class PngReader {
 public:
  // Any PNG colour type and depth is converted to 8-bit RGB (alpha is dropped). Nothing when
  // the file is missing, not a PNG or damaged.
  static std::optional<PngImage> read(const std::string& path);
};
