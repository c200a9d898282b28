// What the resource tests know of res/: the bitmaps' ids, sizes and depths, and readers of the
// committed files and the decoded pixels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/Bitmap.h"

namespace resource_files {

struct Expected {
  int id;
  int width;
  int height;
  int bitsPerPixel;
};

// The resource table: ids, sizes and colour depths the skins and the screen rely on.
inline std::vector<Expected> expectedBitmaps() {
  std::vector<Expected> table{
      {101, 477, 426, 24}, {602, 110, 30, 24}, {607, 393, 426, 24}, {614, 20, 20, 8},
      {615, 20, 20, 8},    {616, 475, 20, 24}, {617, 20, 20, 8},    {618, 20, 20, 8},
      {619, 81, 31, 24},   {620, 81, 31, 24},  {632, 20, 20, 8},    {633, 20, 20, 8},
      {700, 78, 78, 8},
  };
  for (int id = 701; id <= 714; ++id) table.push_back({id, 78, 78, 24});
  table.push_back({715, 78, 78, 8});
  for (int id = 716; id <= 730; ++id) table.push_back({id, 78, 78, 24});
  table.push_back({731, 78, 78, 8});
  return table;
}

inline const std::filesystem::path kResFolder =
    std::filesystem::path(DERADU_TEST_DATA) / ".." / "res";

inline std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline std::uint32_t u16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes.at(at) | static_cast<std::uint32_t>(bytes.at(at + 1)) << 8;
}
inline std::uint32_t u32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return u16(bytes, at) | u16(bytes, at + 2) << 16;
}

inline int red(std::uint32_t pixel) { return static_cast<int>(pixel >> 16 & 0xFF); }
inline int green(std::uint32_t pixel) { return static_cast<int>(pixel >> 8 & 0xFF); }
inline int blue(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFF); }

inline std::uint32_t pixelAt(const BitmapView& view, int x, int y) {
  return view.pixels[static_cast<std::size_t>(y * view.width + x)];
}

}  // namespace resource_files
