// Windows BMP and ICO files as the resource compiler and LoadBitmapA expect them.
#include "gfx/codecs/BmpEncoder.h"

#include <cstddef>

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
// 72 dots per inch, the usual value; nothing reads it.
constexpr std::int32_t kPixelsPerMetre = 2835;

class ByteWriter {
 public:
  void u8(std::uint32_t value) { bytes_.push_back(static_cast<std::uint8_t>(value)); }
  void u16(std::uint32_t value) {
    u8(value & 0xFF);
    u8(value >> 8 & 0xFF);
  }
  void u32(std::uint32_t value) {
    u16(value & 0xFFFF);
    u16(value >> 16);
  }
  void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
  void zeros(std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
      u8(0);
    }
  }
  std::size_t size() const { return bytes_.size(); }
  std::vector<std::uint8_t> take() { return std::move(bytes_); }

 private:
  std::vector<std::uint8_t> bytes_;
};

std::uint32_t rowBytes(int width, int bitsPerPixel) {
  return (static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bitsPerPixel) + 7) / 8;
}

// Rows are padded to whole 4-byte words, counted from the start of the row.
std::uint32_t stride(int width, int bitsPerPixel) {
  return (rowBytes(width, bitsPerPixel) + 3) / 4 * 4;
}

void fileHeader(ByteWriter& out, std::uint32_t fileSize, std::uint32_t pixelOffset) {
  out.u8('B');
  out.u8('M');
  out.u32(fileSize);
  out.u32(0);
  out.u32(pixelOffset);
}

void infoHeader(ByteWriter& out, int width, int height, int bitsPerPixel, std::uint32_t imageSize,
                std::uint32_t coloursUsed) {
  out.u32(kInfoHeaderSize);
  out.i32(width);
  out.i32(height);
  out.u16(1);
  out.u16(static_cast<std::uint32_t>(bitsPerPixel));
  out.u32(0);  // BI_RGB
  out.u32(imageSize);
  out.i32(kPixelsPerMetre);
  out.i32(kPixelsPerMetre);
  out.u32(coloursUsed);
  out.u32(0);
}

// Bottom-up: the last row of the picture comes first.
void rows24(ByteWriter& out, int width, int height, const std::vector<std::uint32_t>& pixels) {
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel =
          pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
      out.u8(pixel & 0xFF);
      out.u8(pixel >> 8 & 0xFF);
      out.u8(pixel >> 16 & 0xFF);
    }
    out.zeros(stride(width, 24) - rowBytes(width, 24));
  }
}

}  // namespace

std::vector<std::uint8_t> encodeBmp24(int width, int height,
                                      const std::vector<std::uint32_t>& pixels) {
  const std::uint32_t imageSize = stride(width, 24) * static_cast<std::uint32_t>(height);
  const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize;
  ByteWriter out;
  fileHeader(out, pixelOffset + imageSize, pixelOffset);
  infoHeader(out, width, height, 24, imageSize, 0);
  rows24(out, width, height, pixels);
  return out.take();
}

std::vector<std::uint8_t> encodeBmp8(int width, int height,
                                     std::span<const std::uint32_t> palette,
                                     std::span<const std::uint8_t> indices) {
  const std::uint32_t imageSize = stride(width, 8) * static_cast<std::uint32_t>(height);
  const auto colours = static_cast<std::uint32_t>(palette.size());
  const std::uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + 4 * colours;
  ByteWriter out;
  fileHeader(out, pixelOffset + imageSize, pixelOffset);
  infoHeader(out, width, height, 8, imageSize, colours);
  for (const std::uint32_t colour : palette) {
    out.u8(colour & 0xFF);
    out.u8(colour >> 8 & 0xFF);
    out.u8(colour >> 16 & 0xFF);
    out.u8(0);
  }
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      out.u8(indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(x)]);
    }
    out.zeros(stride(width, 8) - rowBytes(width, 8));
  }
  return out.take();
}

std::vector<std::uint8_t> encodeIcon24(int width, int height,
                                       const std::vector<std::uint32_t>& pixels) {
  constexpr std::uint32_t kDirectorySize = 6 + 16;
  const std::uint32_t colourSize = stride(width, 24) * static_cast<std::uint32_t>(height);
  const std::uint32_t maskSize = stride(width, 1) * static_cast<std::uint32_t>(height);
  const std::uint32_t imageBytes = kInfoHeaderSize + colourSize + maskSize;
  ByteWriter out;
  // ICONDIR: reserved, type 1 (icon), one image.
  out.u16(0);
  out.u16(1);
  out.u16(1);
  // ICONDIRENTRY: width and height (0 would mean 256), no palette, planes, bits, size, offset.
  out.u8(static_cast<std::uint32_t>(width) & 0xFF);
  out.u8(static_cast<std::uint32_t>(height) & 0xFF);
  out.u8(0);
  out.u8(0);
  out.u16(1);
  out.u16(24);
  out.u32(imageBytes);
  out.u32(kDirectorySize);
  infoHeader(out, width, 2 * height, 24, colourSize + maskSize, 0);
  rows24(out, width, height, pixels);
  out.zeros(maskSize);
  return out.take();
}
