// Windows BMP and ICO files as the resource compiler and LoadBitmapA expect them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Uncompressed, bottom-up, BITMAPINFOHEADER, rows padded to 4 bytes. `pixels` are 0x00RRGGBB,
// rows top-down.
std::vector<std::uint8_t> encodeBmp24(int width, int height,
                                      const std::vector<std::uint32_t>& pixels);
// 8 bits per pixel; the colour table holds exactly `palette` (biClrUsed, at most 256 entries of
// 0x00RRGGBB) and `indices` holds one entry of it per pixel, rows top-down.
std::vector<std::uint8_t> encodeBmp8(int width, int height, std::span<const std::uint32_t> palette,
                                     std::span<const std::uint8_t> indices);
// An icon file with one 24-bit image. Its header's height counts the colour rows and the
// transparency mask together (twice the icon's height); the mask that follows is all opaque.
std::vector<std::uint8_t> encodeIcon24(int width, int height,
                                       const std::vector<std::uint32_t>& pixels);
