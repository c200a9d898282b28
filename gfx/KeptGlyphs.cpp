// The kept glyphs' file: written whole by one run, read defensively by the next.
#include "gfx/KeptGlyphs.h"

#include "gfx/FontLookup.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// This header, the faces' identity, the FreeType version that rendered the glyphs, a checksum
// of the rest, each face's metrics and the glyphs, in this machine's byte order (a file from
// another is foreign). The version is outside the checksum: the renderer compares it itself.
constexpr std::string_view kHeader = "deradu glyphs 1\n";
// Glyphs of the sizes a window draws fit in a few hundred kilobytes; a larger file is not ours.
constexpr std::size_t kMaxBytes = 8 * 1024 * 1024;
// Bounds every kept number must keep, so that no sizing arithmetic can overflow: fonts have
// 16-bit units, and the renderer draws nothing above 1024 pixels.
constexpr double kMaxFontUnits = 65535;
constexpr std::int32_t kMaxGlyphExtent = 8 * 1024;

void put(std::string& out, const void* value, std::size_t size) {
  out.append(static_cast<const char*>(value), size);
}
template <typename T>
void put(std::string& out, T value) {
  put(out, &value, sizeof value);
}

// A checksum eight bytes at a time, so that checking a file costs the start next to nothing; it
// catches damage, not forgery (whoever can write the file can write the fonts' folder too).
std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325u;
  std::uint64_t word = 0;
  for (std::size_t at = 0; at < bytes.size(); at += sizeof word) {
    word = 0;
    std::memcpy(&word, bytes.data() + at, std::min(sizeof word, bytes.size() - at));
    hash = (hash ^ word) * 0x100000001b3u;
    hash ^= hash >> 29;
  }
  return hash ^ bytes.size();
}

// Reads a kept file front to back; every read fails once the bytes run out.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : rest_(bytes) {}
  template <typename T>
  bool take(T& value) {
    if (rest_.size() < sizeof value) return false;
    std::memcpy(&value, rest_.data(), sizeof value);
    rest_.remove_prefix(sizeof value);
    return true;
  }
  bool skip(std::string_view expected) {
    if (rest_.substr(0, expected.size()) != expected) return false;
    rest_.remove_prefix(expected.size());
    return true;
  }
  const std::uint8_t* bytes(std::size_t count) {
    if (rest_.size() < count) return nullptr;
    const auto* start = reinterpret_cast<const std::uint8_t*>(rest_.data());
    rest_.remove_prefix(count);
    return start;
  }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

void identify(std::string& out, const FontFace& face) {
  put(out, static_cast<std::uint32_t>(face.file.size()));
  out.append(face.file);
  put(out, static_cast<std::int32_t>(face.index));
  struct stat info {};
  if (!face.file.empty() && stat(face.file.c_str(), &info) == 0) {
    for (const auto value : {static_cast<std::int64_t>(info.st_dev),
                             static_cast<std::int64_t>(info.st_ino),
                             static_cast<std::int64_t>(info.st_size),
                             static_cast<std::int64_t>(info.st_mtim.tv_sec),
                             static_cast<std::int64_t>(info.st_mtim.tv_nsec)}) {
      put(out, value);
    }
  }
}

bool sensible(const FaceMetrics& m) {
  const auto within = [](double value, double low, double high) {
    return std::isfinite(value) && value >= low && value <= high;
  };
  return within(m.unitsPerEm, 1, kMaxFontUnits) &&
         within(m.winAscent, -kMaxFontUnits, kMaxFontUnits) &&
         within(m.winDescent, -kMaxFontUnits, kMaxFontUnits) &&
         within(m.winAscent + m.winDescent, m.unitsPerEm / 64, m.unitsPerEm * 64) &&
         within(m.averageWidth, 1, m.unitsPerEm * 4);
}

}  // namespace

std::string faceIdentity(const FontFace& regular, const FontFace& bold) {
  std::string out;
  identify(out, regular);
  identify(out, bold);
  return out;
}

std::optional<KeptGlyphs> readKeptGlyphs(const std::string& file, std::string_view identity,
                                         std::size_t maxGlyphs) {
  std::optional<std::string> content = readKeptFile(file, kMaxBytes);
  if (!content) return std::nullopt;
  KeptGlyphs kept;
  kept.bytes = std::make_unique<const std::string>(std::move(*content));
  Reader in(*kept.bytes);
  std::uint64_t sum = 0;
  if (!in.skip(kHeader) || !in.skip(identity) || !in.take(kept.version) || !in.take(sum) ||
      sum != checksum(in.rest())) {
    return std::nullopt;
  }
  for (KeptFace& face : kept.faces) {
    std::uint8_t usable = 0;
    FaceMetrics& m = face.metrics;
    if (!in.take(usable) || usable > 1 || !in.take(m.unitsPerEm) || !in.take(m.winAscent) ||
        !in.take(m.winDescent) || !in.take(m.averageWidth) || (usable == 1 && !sensible(m))) {
      return std::nullopt;
    }
    face.usable = usable == 1;
  }
  std::uint32_t count = 0;
  if (!in.take(count) || count > maxGlyphs) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint64_t key = 0;
    std::array<std::int32_t, 5> shape{};  // left, top, width, rows, advance
    if (!in.take(key) || !in.take(shape)) return std::nullopt;
    for (const std::int32_t value : shape) {
      if (value < -kMaxGlyphExtent || value > kMaxGlyphExtent) return std::nullopt;
    }
    const auto [left, top, width, rows, advance] = shape;
    if (width < 0 || rows < 0) return std::nullopt;
    const auto size = static_cast<std::size_t>(width) * static_cast<std::size_t>(rows);
    const std::uint8_t* coverage = in.bytes(size);
    if (coverage == nullptr) return std::nullopt;
    const auto [where, added] =
        kept.glyphs.try_emplace(key, Glyph{left, top, width, rows, advance, coverage, {}});
    if (!added) return std::nullopt;
  }
  if (!in.rest().empty()) return std::nullopt;
  return kept;
}

std::string keptGlyphsContent(std::string_view identity, const std::array<std::int32_t, 3>& version,
                              const std::array<KeptFace, 2>& faces,
                              const std::unordered_map<std::uint64_t, Glyph>& glyphs) {
  std::string rest;
  for (const KeptFace& face : faces) {
    put(rest, static_cast<std::uint8_t>(face.usable));
    for (const double value : {face.metrics.unitsPerEm, face.metrics.winAscent,
                               face.metrics.winDescent, face.metrics.averageWidth}) {
      put(rest, value);
    }
  }
  put(rest, static_cast<std::uint32_t>(glyphs.size()));
  for (const auto& [key, glyph] : glyphs) {
    put(rest, key);
    put(rest, std::array<std::int32_t, 5>{glyph.left, glyph.top, glyph.width, glyph.rows,
                                          glyph.advance});
    put(rest, glyph.coverage,
        static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows));
  }
  std::string out(kHeader);
  out.append(identity);
  put(out, version);
  put(out, checksum(rest));
  return out + rest;
}
