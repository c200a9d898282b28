// The glyphs a text renderer keeps between runs, and the file that holds them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct FontFace;

// What Windows sizes a face by, in font units: the OS/2 win ascent and descent and the
// average character width.
struct FaceMetrics {
  double unitsPerEm = 0;
  double winAscent = 0;
  double winDescent = 0;
  double averageWidth = 0;
};

// One rasterised glyph, in pixels from the pen position on the baseline (top upwards).
struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int advance = 0;
  // Rows of `width` bytes, in `rendered` or in the kept file's contents.
  const std::uint8_t* coverage = nullptr;
  std::vector<std::uint8_t> rendered;
};

struct KeptFace {
  bool usable = false;  // false: the face did not load, and bold was made by emboldening
  FaceMetrics metrics;
};

// What one FreeType version rendered of one pair of faces (regular, bold). Glyphs are keyed
// as the renderer looks them up.
struct KeptGlyphs {
  std::array<std::int32_t, 3> version{};
  std::array<KeptFace, 2> faces;
  std::unordered_map<std::uint64_t, Glyph> glyphs;
  // What kept glyphs' coverage points into.
  std::unique_ptr<const std::string> bytes;
};

// The pair of faces as a kept file names it: their files, indexes and what stat says of the
// files, so that a replaced or updated font is noticed without opening it.
std::string faceIdentity(const FontFace& regular, const FontFace& bold);

// The glyphs kept in `file` for the faces `identity` names; nothing when it holds others' or is
// damaged, truncated, larger than any we write or not ours. Every number in it is bounded so
// that sizing and drawing from it cannot overflow or read outside a glyph.
std::optional<KeptGlyphs> readKeptGlyphs(const std::string& file, std::string_view identity,
                                         std::size_t maxGlyphs);
// The file readKeptGlyphs reads back: what FreeType `version` rendered of the faces `identity`
// names.
std::string keptGlyphsContent(std::string_view identity, const std::array<std::int32_t, 3>& version,
                              const std::array<KeptFace, 2>& faces,
                              const std::unordered_map<std::uint64_t, Glyph>& glyphs);
