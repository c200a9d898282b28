// Writes 0x00RRGGBB pixel buffers and software canvases to PNG files with libpng.
#include "gfx/codecs/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "gfx/SoftCanvas.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp; everything that needs destroying lives outside the frame
// that setjmp guards, so no C++ object is skipped by the jump.
bool writeRows(std::vector<std::uint8_t>& out, const std::vector<png_bytep>& rows, int width,
               int height, int colourType) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, appendBytes, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, const_cast<png_bytepp>(rows.data()));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

// Three bytes per pixel (R, G, B), or four with the top byte as alpha last.
std::vector<std::uint8_t> encodePixels(std::span<const std::uint32_t> pixels, int width,
                                       int height, bool alpha) {
  // PNG has no empty images; libpng caps each side at 2^31 - 1 but memory caps us far sooner.
  if (width <= 0 || height <= 0 ||
      pixels.size() / static_cast<std::size_t>(width) < static_cast<std::size_t>(height)) {
    return {};
  }
  const std::size_t channels = alpha ? 4 : 3;
  const auto rowBytes = static_cast<std::size_t>(width) * channels;
  std::vector<png_byte> bytes(rowBytes * static_cast<std::size_t>(height));
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    rows[y] = bytes.data() + y * rowBytes;
    for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x) {
      const std::uint32_t argb = pixels[y * static_cast<std::size_t>(width) + x];
      png_bytep pixel = rows[y] + x * channels;
      pixel[0] = static_cast<png_byte>(argb >> 16);
      pixel[1] = static_cast<png_byte>(argb >> 8);
      pixel[2] = static_cast<png_byte>(argb);
      if (alpha) pixel[3] = static_cast<png_byte>(argb >> 24);
    }
  }
  std::vector<std::uint8_t> out;
  if (!writeRows(out, rows, width, height, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB)) {
    return {};
  }
  return out;
}

}  // namespace

std::vector<std::uint8_t> PngWriter::encode(std::span<const std::uint32_t> pixels, int width,
                                            int height) {
  return encodePixels(pixels, width, height, false);
}

std::vector<std::uint8_t> PngWriter::encodeRgba(std::span<const std::uint32_t> pixels, int width,
                                                int height) {
  return encodePixels(pixels, width, height, true);
}

bool PngWriter::write(const std::string& path, std::span<const std::uint32_t> pixels, int width,
                      int height) {
  const std::vector<std::uint8_t> png = encode(pixels, width, height);
  if (png.empty()) return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  bool written = std::fwrite(png.data(), 1, png.size(), file.get()) == png.size();
  written = (std::fclose(file.release()) == 0) && written;
  if (!written) std::remove(path.c_str());
  return written;
}

bool PngWriter::write(const std::string& path, const SoftCanvas& canvas) {
  return write(path, canvas.pixels(), canvas.width(), canvas.height());
}
