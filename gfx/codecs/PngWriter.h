// Writes 0x00RRGGBB pixel buffers and software canvases to PNG files.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class SoftCanvas;

class PngWriter {
 public:
  // The bytes of an 8-bit RGB PNG of width x height pixels (rows top-down), with no time or
  // text chunks, so equal pixels always give equal bytes. Empty when the size does not match.
  static std::vector<std::uint8_t> encode(std::span<const std::uint32_t> pixels, int width,
                                          int height);
  // The same with an alpha channel: 0xAARRGGBB pixels, an 8-bit RGBA PNG.
  static std::vector<std::uint8_t> encodeRgba(std::span<const std::uint32_t> pixels, int width,
                                              int height);
  // Writes an 8-bit RGB PNG of width x height pixels (rows top-down). Returns false, leaving
  // no partial file behind, when the size does not match the pixels or the file cannot be
  // written.
  static bool write(const std::string& path, std::span<const std::uint32_t> pixels, int width,
                    int height);
  static bool write(const std::string& path, const SoftCanvas& canvas);
};
