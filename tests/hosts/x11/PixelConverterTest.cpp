// The canvas's colours in the pixel formats of TrueColor visuals.
#include "hosts/x11/PixelConverter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(PixelConverter, ColoursTakeEachVisualsMasksAndByteOrder) {
  struct Case {
    const char* what;
    unsigned long red, green, blue;
    int bitsPerPixel;
    bool mostSignificantFirst;
    std::uint32_t rgb;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases = {
      {"24-bit", 0xFF0000, 0xFF00, 0xFF, 32, false, 0x123456, {0x56, 0x34, 0x12, 0x00}},
      {"16-bit keeps the top bits", 0xF800, 0x7E0, 0x1F, 16, false, 0x123456, {0xAA, 0x11}},
      {"16-bit white", 0xF800, 0x7E0, 0x1F, 16, false, 0xFFFFFF, {0xFF, 0xFF}},
      {"15-bit", 0x7C00, 0x3E0, 0x1F, 16, false, 0xFF0808, {0x21, 0x7C}},
      {"16-bit, most significant byte first", 0xF800, 0x7E0, 0x1F, 16, true, 0x123456,
       {0x11, 0xAA}},
      // 10-bit channels repeat the colour's top bits, so full intensity stays full.
      {"30-bit", 0x3FF00000, 0xFFC00, 0x3FF, 32, false, 0x804020, {0x80, 0x04, 0x24, 0x20}},
      {"30-bit white", 0x3FF00000, 0xFFC00, 0x3FF, 32, false, 0xFFFFFF, {0xFF, 0xFF, 0xFF, 0x3F}},
      {"BGR, 24 bits a pixel", 0xFF, 0xFF00, 0xFF0000, 24, false, 0x123456, {0x12, 0x34, 0x56}},
  };
  for (const Case& c : cases) {
    const PixelConverter converter(c.red, c.green, c.blue, c.bitsPerPixel, c.mostSignificantFirst);
    ASSERT_TRUE(converter.usable()) << c.what;
    std::vector<char> out(2 * c.bytes.size(), 0x55);
    const std::uint32_t row[2] = {c.rgb, c.rgb};
    converter.convertRow(row, out.data(), 2);
    std::vector<std::uint8_t> twice = c.bytes;
    twice.insert(twice.end(), c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end()), twice) << c.what;
  }
  EXPECT_FALSE(PixelConverter(0xF800, 0x7E0, 0x1F, 12, false).usable());
}

}  // namespace
