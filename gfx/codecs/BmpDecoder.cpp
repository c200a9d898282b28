// BMP and ICO reading: the uncompressed kinds the resource compiler and LoadBitmapA take.
#include "gfx/codecs/BmpDecoder.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr std::size_t kInfoHeaderSize = 40;

using Palette = std::array<std::uint32_t, 256>;

std::uint32_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return readU16(bytes, at) | readU16(bytes, at + 2) << 16;
}

// Bytes per stored row: every row is padded to a multiple of four bytes.
std::size_t rowStride(int width, std::uint32_t bits) {
  return (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
}

// Stored rows of 8 bits (indices into `palette`) or 24 bits (blue, green, red) as 0x00RRGGBB
// words, rows top-down. `rows` holds at least `height` rows; the words go straight into the
// buffer the store keeps.
DecodedImage convertRows(std::span<const std::uint8_t> rows, int width, int height, bool topDown,
                   std::uint32_t bits, const Palette& palette) {
  const std::size_t stride = rowStride(width, bits);
  DecodedImage result{width, height, {}};
  result.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::uint32_t* out = result.pixels.data();
  for (int y = 0; y < height; ++y, out += width) {
    // Bottom-up files store the picture's last row first.
    const int stored = topDown ? y : height - 1 - y;
    const std::uint8_t* in = rows.data() + static_cast<std::size_t>(stored) * stride;
    if (bits == 24) {
      for (int x = 0; x < width; ++x, in += 3) {
        out[x] = static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[1]) << 8 |
                 in[0];
      }
    } else {
      for (int x = 0; x < width; ++x) out[x] = palette[in[x]];
    }
  }
  return result;
}

}  // namespace

std::optional<DecodedImage> decodeBmp(std::span<const std::uint8_t> file) {
  constexpr std::size_t kFileHeaderSize = 14;
  constexpr std::int32_t kMaxSide = 16384;
  if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M') {
    return std::nullopt;
  }
  const std::size_t dataOffset = readU32(file, 10);
  const std::size_t headerSize = readU32(file, 14);
  const auto width = static_cast<std::int32_t>(readU32(file, 18));
  const auto storedHeight = static_cast<std::int32_t>(readU32(file, 22));
  const std::uint32_t bits = readU16(file, 28);
  const std::uint32_t compression = readU32(file, 30);
  const std::uint32_t colours = readU32(file, 46);
  if (headerSize < kInfoHeaderSize || headerSize > file.size() - kFileHeaderSize ||
      width <= 0 || width > kMaxSide || storedHeight == 0 || storedHeight > kMaxSide ||
      storedHeight < -kMaxSide || (bits != 8 && bits != 24) || compression != 0) {
    return std::nullopt;
  }
  // A negative height marks rows stored top-down.
  const bool topDown = storedHeight < 0;
  const int height = topDown ? -storedHeight : storedHeight;
  if (dataOffset > file.size() ||
      (file.size() - dataOffset) / rowStride(width, bits) < static_cast<std::size_t>(height)) {
    return std::nullopt;
  }
  Palette palette{};
  if (bits == 8) {
    const std::size_t first = kFileHeaderSize + headerSize;
    const std::size_t stored = std::min<std::size_t>(colours == 0 ? 256 : colours, 256);
    const std::size_t count = std::min(stored, (file.size() - first) / 4);
    for (std::size_t i = 0; i < count; ++i) {
      palette[i] = readU32(file, first + 4 * i) & 0x00FFFFFFu;
    }
  }
  return convertRows(file.subspan(dataOffset), width, height, topDown, bits, palette);
}

// The header's height counts the colour rows and the mask together.
std::optional<DecodedImage> decodeIcon(std::span<const std::uint8_t> bytes) {
  constexpr std::size_t kDirectorySize = 6 + 16;
  if (bytes.size() < kDirectorySize || bytes[2] != 1 || bytes[4] == 0) {
    return std::nullopt;
  }
  const std::size_t offset = readU32(bytes, 18);
  if (offset > bytes.size() || bytes.size() - offset < kInfoHeaderSize) {
    return std::nullopt;
  }
  const auto header = bytes.subspan(offset);
  const auto width = static_cast<std::int32_t>(readU32(header, 4));
  const auto doubleHeight = static_cast<std::int32_t>(readU32(header, 8));
  const bool plain24 = readU16(header, 14) == 24 && readU32(header, 16) == 0;
  if (readU32(header, 0) != kInfoHeaderSize || !plain24 || width <= 0 || width > 256 ||
      doubleHeight <= 0 || doubleHeight > 512 || doubleHeight % 2 != 0) {
    return std::nullopt;
  }
  const int height = doubleHeight / 2;
  const auto rows = header.subspan(kInfoHeaderSize);
  if (rows.size() < rowStride(width, 24) * static_cast<std::size_t>(height)) {
    return std::nullopt;
  }
  return convertRows(rows, width, height, false, 24, Palette{});
}
