// Reading Windows BMP and ICO files into 0x00RRGGBB pixels, as LoadBitmapA and LoadIconA read
// the files the program ships.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // rows top-down
};

// An uncompressed BMP of 8 bits with a palette or of 24 bits, bottom-up or top-down; nothing
// for any other kind or for a file cut short. Indices past the palette's end read as black.
std::optional<DecodedImage> decodeBmp(std::span<const std::uint8_t> file);

// The first image of an icon file, if it is the uncompressed 24-bit kind the program ships.
std::optional<DecodedImage> decodeIcon(std::span<const std::uint8_t> file);
