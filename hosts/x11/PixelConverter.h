// The canvas's 0x00RRGGBB words in a TrueColor visual's own pixel format, row by row.
#pragma once

#include <array>
#include <cstdint>

// Built from an image's format: the three channel masks, bits per pixel (8, 16, 24 or 32) and
// byte order. Channels narrower than 8 bits keep the colour's top bits, as the server reduces
// colours; wider ones repeat the bits, so full intensity stays full (0xFF is 0x3FF in 10 bits).
class PixelConverter {
 public:
  PixelConverter(unsigned long redMask, unsigned long greenMask, unsigned long blueMask,
                 int bitsPerPixel, bool mostSignificantFirst);

  // Whether this format can be written (bits per pixel 8, 16, 24 or 32).
  bool usable() const { return bytesPerPixel_ != 0; }
  // The pixel value of one colour.
  std::uint32_t value(std::uint32_t rgb) const {
    return red_[(rgb >> 16) & 0xFF] | green_[(rgb >> 8) & 0xFF] | blue_[rgb & 0xFF];
  }
  // Writes `count` pixels into `out`, which holds count x bitsPerPixel / 8 bytes.
  void convertRow(const std::uint32_t* rgb, char* out, int count) const;

 private:
  std::array<std::uint32_t, 256> red_{};
  std::array<std::uint32_t, 256> green_{};
  std::array<std::uint32_t, 256> blue_{};
  int bytesPerPixel_ = 0;
  bool mostSignificantFirst_ = false;
};
