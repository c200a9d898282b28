// Channel tables and row conversion for TrueColor visuals of any depth.
#include "hosts/x11/PixelConverter.h"

#include <bit>
#include <cstring>

namespace {

// The table of an 8-bit channel value placed under `mask`.
std::array<std::uint32_t, 256> channelTable(unsigned long mask) {
  std::array<std::uint32_t, 256> table{};
  const auto mask32 = static_cast<std::uint32_t>(mask);
  if (mask32 == 0) return table;
  const int shift = std::countr_zero(mask32);
  const int bits = std::popcount(mask32);
  for (std::uint32_t value = 0; value < 256; ++value) {
    std::uint32_t scaled = 0;
    if (bits <= 8) {
      scaled = value >> (8 - bits);
    } else {
      int filled = 0;
      while (filled < bits) {
        scaled = (scaled << 8) | value;
        filled += 8;
      }
      scaled >>= filled - bits;
    }
    table[value] = (scaled << shift) & mask32;
  }
  return table;
}

}  // namespace

PixelConverter::PixelConverter(unsigned long redMask, unsigned long greenMask,
                               unsigned long blueMask, int bitsPerPixel, bool mostSignificantFirst)
    : red_(channelTable(redMask)),
      green_(channelTable(greenMask)),
      blue_(channelTable(blueMask)),
      mostSignificantFirst_(mostSignificantFirst) {
  if (bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32) {
    bytesPerPixel_ = bitsPerPixel / 8;
  }
}

void PixelConverter::convertRow(const std::uint32_t* rgb, char* out, int count) const {
  const bool native = mostSignificantFirst_ == (std::endian::native == std::endian::big);
  if (native && bytesPerPixel_ == 4) {
    for (int i = 0; i < count; ++i) {
      const std::uint32_t pixel = value(rgb[i]);
      std::memcpy(out + 4 * i, &pixel, 4);
    }
    return;
  }
  if (native && bytesPerPixel_ == 2) {
    for (int i = 0; i < count; ++i) {
      const auto pixel = static_cast<std::uint16_t>(value(rgb[i]));
      std::memcpy(out + 2 * i, &pixel, 2);
    }
    return;
  }
  // Any other layout, byte by byte in the image's order.
  for (int i = 0; i < count; ++i) {
    const std::uint32_t pixel = value(rgb[i]);
    char* bytes = out + static_cast<std::ptrdiff_t>(i) * bytesPerPixel_;
    for (int b = 0; b < bytesPerPixel_; ++b) {
      const int shift = 8 * (mostSignificantFirst_ ? bytesPerPixel_ - 1 - b : b);
      bytes[b] = static_cast<char>((pixel >> shift) & 0xFF);
    }
  }
}
