// BMP reading on small files made here: both row orders, palettes, row padding, and files of
// other kinds or cut short, which give no picture.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/codecs/BmpDecoder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  put16(bytes, at, value);
  put16(bytes, at + 2, value >> 16);
}

// A BMP file with a 40-byte info header; `rows` are stored as given (already padded).
Bytes makeBmp(int width, int storedHeight, int bits, const std::vector<std::uint32_t>& palette,
              const Bytes& rows) {
  const std::size_t dataOffset = 14 + 40 + 4 * palette.size();
  Bytes file(dataOffset);
  file[0] = 'B';
  file[1] = 'M';
  put32(file, 2, static_cast<std::uint32_t>(dataOffset + rows.size()));
  put32(file, 10, static_cast<std::uint32_t>(dataOffset));
  put32(file, 14, 40);
  put32(file, 18, static_cast<std::uint32_t>(width));
  put32(file, 22, static_cast<std::uint32_t>(storedHeight));
  put16(file, 26, 1);
  put16(file, 28, static_cast<std::uint32_t>(bits));
  put32(file, 34, static_cast<std::uint32_t>(rows.size()));
  put32(file, 46, static_cast<std::uint32_t>(palette.size()));
  for (std::size_t i = 0; i < palette.size(); ++i) put32(file, 54 + 4 * i, palette[i]);
  file.insert(file.end(), rows.begin(), rows.end());
  return file;
}

// 3 x 2 at 24 bits: each row is 9 bytes of blue, green, red and 3 bytes of padding.
const Bytes kTopRow24 = {0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21, 0x22, 0x23, 0, 0, 0};
const Bytes kBottomRow24 = {0xA1, 0xA2, 0xA3, 0xB1, 0xB2, 0xB3, 0xC1, 0xC2, 0xC3, 0, 0, 0};
const std::vector<std::uint32_t> kWords24 = {0x030201, 0x131211, 0x232221,
                                             0xA3A2A1, 0xB3B2B1, 0xC3C2C1};

Bytes concat(const Bytes& first, const Bytes& second) {
  Bytes joined = first;
  joined.insert(joined.end(), second.begin(), second.end());
  return joined;
}

Bytes bottomUp24() { return makeBmp(3, 2, 24, {}, concat(kBottomRow24, kTopRow24)); }

TEST(BmpDecoding, ReadsBothRowOrdersAndPalettesIntoTopDownWords) {
  const struct {
    std::string name;
    Bytes file;
    int width;
    int height;
    std::vector<std::uint32_t> words;
  } cases[] = {
      {"24 bits bottom-up", bottomUp24(), 3, 2, kWords24},
      {"24 bits top-down", makeBmp(3, -2, 24, {}, concat(kTopRow24, kBottomRow24)), 3, 2,
       kWords24},
      // Rows of 3 indices padded to 4 bytes; index 2 is past the two colours and reads as black.
      {"8 bits with a short palette", makeBmp(3, 2, 8, {0x00112233, 0x00445566},
                                              {1, 0, 1, 0, 0, 2, 1, 0}),
       3, 2, {0x112233, 0x000000, 0x445566, 0x445566, 0x112233, 0x445566}},
      // The palette's fourth byte is reserved and never reaches the pixel.
      {"8 bits, reserved palette byte", makeBmp(1, 1, 8, {0xFF0000FF}, {0, 0, 0, 0}), 1, 1,
       {0x0000FF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto image = decodeBmp(c.file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    EXPECT_EQ(image->pixels, c.words);
  }
}

TEST(BmpDecoding, FilesOfOtherKindsOrCutShortGiveNoBitmap) {
  const struct {
    std::string name;
    std::function<void(Bytes&)> damage;
  } cases[] = {
      {"not a BMP", [](Bytes& f) { f[1] = 'A'; }},
      {"32 bits", [](Bytes& f) { put16(f, 28, 32); }},
      {"4 bits", [](Bytes& f) { put16(f, 28, 4); }},
      {"run-length compressed", [](Bytes& f) { put32(f, 30, 1); }},
      {"an OS/2 header", [](Bytes& f) { put32(f, 14, 12); }},
      {"a header longer than the file", [](Bytes& f) { put32(f, 14, 0xFFFFFFF0u); }},
      {"no width", [](Bytes& f) { put32(f, 18, 0); }},
      {"a negative width", [](Bytes& f) { put32(f, 18, static_cast<std::uint32_t>(-3)); }},
      {"no height", [](Bytes& f) { put32(f, 22, 0); }},
      {"the lowest height", [](Bytes& f) { put32(f, 22, 0x80000000u); }},
      {"a huge width", [](Bytes& f) { put32(f, 18, 1u << 30); }},
      {"more rows than stored", [](Bytes& f) { put32(f, 22, 3); }},
      {"the last byte missing", [](Bytes& f) { f.pop_back(); }},
      {"pixels past the end", [](Bytes& f) { put32(f, 10, static_cast<std::uint32_t>(f.size())); }},
      {"only the headers", [](Bytes& f) { f.resize(54); }},
      {"a file header alone", [](Bytes& f) { f.resize(14); }},
      {"nothing", [](Bytes& f) { f.clear(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes file = bottomUp24();
    c.damage(file);
    EXPECT_FALSE(decodeBmp(file).has_value());
  }
}

}  // namespace
