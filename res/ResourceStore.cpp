// The bitmaps and the icon built into the Linux program, decoded on first use and found by id.
#include "res/ResourceStore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <utility>

#include "res/EmbeddedResources.h"

namespace {

constexpr int kIconId = 100;
constexpr std::size_t kInfoHeaderSize = 40;

using Palette = std::array<std::uint32_t, 256>;

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> words;
};

std::uint32_t readU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t readU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return readU16(bytes, at) | readU16(bytes, at + 2) << 16;
}

// Gives back the pages of the address range [begin, end): only those wholly inside it or, with
// `outward`, every page it touches. Only for the program's own files: they lie in the
// executable's read-only data, a file mapping never written, so a page there (a neighbour's
// bytes included) reads the same again from the page cache after it is given back. Never for
// bytes the store was handed, which may be heap memory that this would zero.
void releasePages(std::uintptr_t begin, std::uintptr_t end, bool outward) {
  static const auto kPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = (outward ? begin : begin + kPage - 1) / kPage * kPage;
  const std::uintptr_t last = (outward ? end + kPage - 1 : end) / kPage * kPage;
  if (first < last) {
    // Advice only: if it is refused, the pages merely stay resident.
    madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
  }
}

std::uintptr_t address(const std::uint8_t* byte) { return reinterpret_cast<std::uintptr_t>(byte); }

// Bytes per stored row: every row is padded to a multiple of four bytes.
std::size_t rowStride(int width, std::uint32_t bits) {
  return (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
}

// Stored rows of 8 bits (indices into `palette`) or 24 bits (blue, green, red) as 0x00RRGGBB
// words, rows top-down. `rows` holds at least `height` rows; the words go straight into the
// buffer the store keeps. With `release`, the rows already read are given back every 64 kB, so
// a large file and its decoded copy are never resident together.
Pixels convertRows(std::span<const std::uint8_t> rows, int width, int height, bool topDown,
                   std::uint32_t bits, const Palette& palette, bool release) {
  constexpr std::size_t kReleaseStep = 64 * 1024;
  const std::size_t stride = rowStride(width, bits);
  Pixels result{width, height, {}};
  result.words.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::size_t released = 0;
  // The file is read front to back; bottom-up files store the picture's last row first.
  for (int stored = 0; stored < height; ++stored) {
    const std::uint8_t* in = rows.data() + static_cast<std::size_t>(stored) * stride;
    const int y = topDown ? stored : height - 1 - stored;
    std::uint32_t* out = result.words.data() + static_cast<std::size_t>(y) * width;
    if (bits == 24) {
      for (int x = 0; x < width; ++x, in += 3) {
        out[x] = static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[1]) << 8 |
                 in[0];
      }
    } else {
      for (int x = 0; x < width; ++x) out[x] = palette[in[x]];
    }
    const std::size_t read = static_cast<std::size_t>(stored + 1) * stride;
    if (release && read - released >= kReleaseStep) {
      releasePages(address(rows.data() + released), address(rows.data() + read), false);
      released = read;
    }
  }
  return result;
}

// An uncompressed BMP of 8 bits with a palette or of 24 bits, bottom-up or top-down; nothing
// for any other kind or for a file cut short. Indices past the palette's end read as black.
// `release` as for convertRows.
std::optional<Pixels> decodeBmp(std::span<const std::uint8_t> file, bool release) {
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
  return convertRows(file.subspan(dataOffset), width, height, topDown, bits, palette, release);
}

// The first image of an icon file, if it is the uncompressed 24-bit kind the program ships.
// The header's height counts the colour rows and the mask together.
std::optional<Pixels> decodeIcon(std::span<const std::uint8_t> bytes) {
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
  return convertRows(rows, width, height, false, 24, Palette{}, false);
}

}  // namespace

ResourceStore::ResourceStore() : ResourceStore(embeddedResources()) {
  ownFirst_ = UINTPTR_MAX;
  for (const EmbeddedResource& resource : embeddedResources()) {
    ownFirst_ = std::min(ownFirst_, address(resource.bytes.data()));
    ownEnd_ = std::max(ownEnd_, address(resource.bytes.data() + resource.bytes.size()));
  }
}

ResourceStore::ResourceStore(std::span<const EmbeddedResource> resources) {
  for (const EmbeddedResource& resource : resources) {
    if (resource.kind == ResourceKind::bitmap) {
      Entry& entry = bitmaps_.emplace_back();
      entry.id = resource.id & 0xFFFF;
      entry.file = resource.bytes;
    } else if (resource.id == kIconId) {
      // The window gets its icon before the first paint, so it is decoded at once.
      icon_.id = resource.id;
      if (auto pixels = decodeIcon(resource.bytes)) {
        icon_.pixels = std::move(pixels->words);
        icon_.view = BitmapView{pixels->width, pixels->height, icon_.pixels};
      }
    }
  }
  std::sort(bitmaps_.begin(), bitmaps_.end(),
            [](const Entry& first, const Entry& second) { return first.id < second.id; });
}

const ResourceStore& ResourceStore::builtIn() {
  static const ResourceStore kStore;
  return kStore;
}

const BitmapView* ResourceStore::find(int id) const {
  const int key = static_cast<int>(static_cast<std::uint32_t>(id) & 0xFFFFu);
  const auto found =
      std::lower_bound(bitmaps_.begin(), bitmaps_.end(), key,
                       [](const Entry& entry, int wanted) { return entry.id < wanted; });
  if (found == bitmaps_.end() || found->id != key) {
    return nullptr;
  }
  if (!found->decoded) {
    found->decoded = true;
    const bool ownFile = ownEnd_ > 0;
    if (auto pixels = decodeBmp(found->file, ownFile)) {
      found->pixels = std::move(pixels->words);
      found->view = BitmapView{pixels->width, pixels->height, found->pixels};
    }
    // The file is never read again. The whole range of the files is given back, as the kernel
    // maps cached neighbours of each page read, those of files decoded before included.
    if (ownFile) releasePages(ownFirst_, ownEnd_, true);
  }
  return found->view.width > 0 ? &found->view : nullptr;
}

std::vector<int> ResourceStore::bitmapIds() const {
  std::vector<int> ids;
  for (const Entry& entry : bitmaps_) {
    ids.push_back(entry.id);
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
