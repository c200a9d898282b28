// Reads PNG files into 0x00RRGGBB pixels with libpng's simplified API.
#include "gfx/codecs/PngReader.h"

#include <png.h>

std::optional<PngImage> PngReader::read(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return std::nullopt;
  }
  PngImage result;
  result.width = static_cast<int>(image.width);
  result.height = static_cast<int>(image.height);
  result.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  for (std::size_t i = 0; i < result.pixels.size(); ++i) {
    result.pixels[i] = (std::uint32_t{bytes[i * 3]} << 16) | (std::uint32_t{bytes[i * 3 + 1]} << 8) |
                       bytes[i * 3 + 2];
  }
  return result;
}
