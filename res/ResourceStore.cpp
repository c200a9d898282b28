// The bitmaps and the icon built into the Linux program, decoded once and found by numeric id.
#include "res/ResourceStore.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

#include "res/EmbeddedResources.h"

namespace {

constexpr int kIconId = 100;

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePointer = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::size_t pixelIndex(int x, int y, int width) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
         static_cast<std::size_t>(x);
}

// Any BMP SDL reads (bottom-up or top-down, 8 bits with a palette or 24 bits) becomes
// 0x00RRGGBB words. SDL needs no initialisation for this.
std::optional<std::vector<std::uint32_t>> decodeBmp(std::span<const std::uint8_t> bytes, int& width,
                                                    int& height) {
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  if (stream == nullptr) {
    return std::nullopt;
  }
  const SurfacePointer loaded(SDL_LoadBMP_RW(stream, 1));
  if (!loaded) {
    return std::nullopt;
  }
  const SurfacePointer converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
  if (!converted || SDL_LockSurface(converted.get()) != 0) {
    return std::nullopt;
  }
  width = converted->w;
  height = converted->h;
  std::vector<std::uint32_t> pixels(pixelIndex(0, height, width));
  const auto* rows = static_cast<const std::uint8_t*>(converted->pixels);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(
        rows + static_cast<std::ptrdiff_t>(y) * converted->pitch);
    for (int x = 0; x < width; ++x) {
      pixels[pixelIndex(x, y, width)] = row[x] & 0x00FFFFFFu;
    }
  }
  SDL_UnlockSurface(converted.get());
  return pixels;
}

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The first image of an icon file, if it is the uncompressed 24-bit kind the program ships.
// SDL reads no icon files; the header's height counts the colour rows and the mask together.
std::optional<std::vector<std::uint32_t>> decodeIcon(std::span<const std::uint8_t> bytes,
                                                     int& width, int& height) {
  constexpr std::size_t kDirectorySize = 6 + 16;
  constexpr std::size_t kInfoHeaderSize = 40;
  if (bytes.size() < kDirectorySize || bytes[2] != 1 || bytes[4] == 0) {
    return std::nullopt;
  }
  const std::size_t offset = readU32(bytes, 18);
  if (offset > bytes.size() || bytes.size() - offset < kInfoHeaderSize) {
    return std::nullopt;
  }
  const auto header = bytes.subspan(offset);
  const auto headerWidth = static_cast<std::int32_t>(readU32(header, 4));
  const auto headerHeight = static_cast<std::int32_t>(readU32(header, 8));
  const bool plain24 = (header[14] | header[15] << 8) == 24 && readU32(header, 16) == 0;
  if (readU32(header, 0) != kInfoHeaderSize || !plain24 || headerWidth <= 0 || headerWidth > 256 ||
      headerHeight <= 0 || headerHeight > 512 || headerHeight % 2 != 0) {
    return std::nullopt;
  }
  width = headerWidth;
  height = headerHeight / 2;
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  const auto rows = header.subspan(kInfoHeaderSize);
  if (rows.size() < stride * static_cast<std::size_t>(height)) {
    return std::nullopt;
  }
  std::vector<std::uint32_t> pixels(pixelIndex(0, height, width));
  for (int y = 0; y < height; ++y) {
    // Bottom-up: the file's first row is the picture's last.
    const std::size_t row = static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::size_t at = row + static_cast<std::size_t>(x) * 3;
      pixels[pixelIndex(x, y, width)] = static_cast<std::uint32_t>(rows[at + 2]) << 16 |
                                        static_cast<std::uint32_t>(rows[at + 1]) << 8 | rows[at];
    }
  }
  return pixels;
}

void attachView(int width, int height, std::vector<std::uint32_t> pixels,
                std::vector<std::uint32_t>& storage, BitmapView& view) {
  storage = std::move(pixels);
  view = BitmapView{width, height, storage};
}

}  // namespace

ResourceStore::ResourceStore() {
  for (const EmbeddedResource& resource : embeddedResources()) {
    int width = 0;
    int height = 0;
    if (resource.kind == ResourceKind::icon) {
      if (resource.id == kIconId) {
        if (auto pixels = decodeIcon(resource.bytes, width, height)) {
          icon_.id = resource.id;
          attachView(width, height, std::move(*pixels), icon_.pixels, icon_.view);
        }
      }
      continue;
    }
    if (auto pixels = decodeBmp(resource.bytes, width, height)) {
      Decoded& decoded = bitmaps_.emplace_back();
      decoded.id = resource.id & 0xFFFF;
      attachView(width, height, std::move(*pixels), decoded.pixels, decoded.view);
    }
  }
  // Moving a Decoded keeps its vector's buffer, so the views stay valid through the sort.
  std::sort(bitmaps_.begin(), bitmaps_.end(),
            [](const Decoded& first, const Decoded& second) { return first.id < second.id; });
}

const ResourceStore& ResourceStore::builtIn() {
  static const ResourceStore kStore;
  return kStore;
}

const BitmapView* ResourceStore::find(int id) const {
  const int key = static_cast<int>(static_cast<std::uint32_t>(id) & 0xFFFFu);
  const auto found =
      std::lower_bound(bitmaps_.begin(), bitmaps_.end(), key,
                       [](const Decoded& decoded, int wanted) { return decoded.id < wanted; });
  if (found == bitmaps_.end() || found->id != key) {
    return nullptr;
  }
  return &found->view;
}

std::vector<int> ResourceStore::bitmapIds() const {
  std::vector<int> ids;
  for (const Decoded& decoded : bitmaps_) {
    ids.push_back(decoded.id);
  }
  return ids;
}

std::span<const std::uint8_t> ResourceStore::iconFile() {
  for (const EmbeddedResource& resource : embeddedResources()) {
    if (resource.kind == ResourceKind::icon && resource.id == kIconId) {
      return resource.bytes;
    }
  }
  return {};
}
