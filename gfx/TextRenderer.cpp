// FreeType text for the software canvas: CreateFontA's size mapping and DrawText's placement.
#include "gfx/TextRenderer.h"

#include "gfx/FontLookup.h"
#include "gfx/Rounding.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace {

using std::int64_t;

// The face nearer to the requested weight is used: bold from 600 (FW_SEMIBOLD) up.
constexpr int kBoldWeight = 600;
// CreateFontA's height 0 asks for the default size.
constexpr int kDefaultCellHeight = 16;
// Larger text is not drawn: its glyphs would take more memory than any window could show.
constexpr int64_t kMaxPixels = 1024;
// The glyph cache is dropped when it grows past this, so odd sizes cannot grow it forever.
constexpr std::size_t kMaxCachedGlyphs = 4096;

// Windows-1252 for the bytes 0x80..0x9F; the rest of the code page is Latin-1. Unassigned
// bytes keep their value, as Windows maps them.
constexpr char32_t kWindows1252[32] = {
    0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021, 0x2C6,  0x2030, 0x160,
    0x2039, 0x152,  0x8D,   0x17D,  0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};

char32_t toUnicode(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kWindows1252[byte - 0x80] : char32_t{byte};
}

// Walks a DrawText string with prefix processing: '&' underlines the next character, "&&"
// is one '&', and a '&' at the very end shows nothing.
template <typename Visit>
void forEachShown(std::string_view text, Visit visit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      visit(static_cast<unsigned char>(text[i]), false);
    } else if (i + 1 < text.size()) {
      ++i;
      visit(static_cast<unsigned char>(text[i]), text[i] != '&');
    }
  }
}

struct FaceMetrics {
  double unitsPerEm = 0;
  double winAscent = 0;
  double winDescent = 0;
  double averageWidth = 0;
};

struct Glyph {
  int left = 0;
  int top = 0;
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;
};

// The pixel size and resulting TEXTMETRIC of one CreateFontA request on one face.
struct FaceSize {
  TextMetrics metrics;
  int64_t xSize = 0;  // 26.6 pixels per em
  int64_t ySize = 0;
  double pixelsPerUnit = 0;  // vertical
};

struct LibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct FaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};

struct LoadedFace {
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face;
  std::string file;
  FaceMetrics metrics;
  int64_t xSize = -1;  // the size FT_Set_Char_Size last set, 26.6
  int64_t ySize = -1;
};

}  // namespace

struct TextRenderer::Impl {
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library;
  LoadedFace regular;
  LoadedFace bold;  // empty: bold is the regular face emboldened
  std::string error;
  std::unordered_map<std::uint64_t, Glyph> glyphs;

  bool start();
  bool load(LoadedFace& target, const std::string& file, int index);
  void open(const SystemFonts& fonts);

  // The face for this weight and whether it must be emboldened.
  LoadedFace& faceFor(int weight, bool& embolden);
  // `scale` multiplies every size the font asks for.
  std::optional<FaceSize> faceSize(const LoadedFace& face, const Font& font, int64_t scale = 1) const;
  const Glyph& glyph(LoadedFace& face, bool embolden, const FaceSize& size, unsigned char byte);
};

bool TextRenderer::Impl::start() {
  FT_Library raw = nullptr;
  if (FT_Init_FreeType(&raw) != 0) {
    error = "FreeType could not be initialised";
    return false;
  }
  library.reset(raw);
  return true;
}

bool TextRenderer::Impl::load(LoadedFace& target, const std::string& file, int index) {
  FT_Face raw = nullptr;
  const FT_Error failure = FT_New_Face(library.get(), file.c_str(), index, &raw);
  if (failure != 0) {
    error = "cannot load font file \"" + file + "\" (FreeType error " + std::to_string(failure) + ")";
    return false;
  }
  target.face.reset(raw);
  target.file = file;
  if (!FT_IS_SCALABLE(raw)) {
    error = "font file \"" + file + "\" has no scalable outlines";
    target.face.reset();
    return false;
  }
  // Windows sizes fonts by the OS/2 win ascent and descent and its average width.
  FaceMetrics& metrics = target.metrics;
  metrics.unitsPerEm = raw->units_per_EM > 0 ? raw->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(raw, FT_SFNT_OS2));
  metrics.winAscent = os2 != nullptr ? os2->usWinAscent : raw->ascender;
  metrics.winDescent = os2 != nullptr ? os2->usWinDescent : -raw->descender;
  if (metrics.winAscent + metrics.winDescent <= 0) {
    metrics.winAscent = metrics.unitsPerEm * 0.8;
    metrics.winDescent = metrics.unitsPerEm * 0.2;
  }
  metrics.averageWidth = (os2 != nullptr && os2->xAvgCharWidth > 0) ? os2->xAvgCharWidth
                                                                     : metrics.unitsPerEm / 2;
  return true;
}

void TextRenderer::Impl::open(const SystemFonts& fonts) {
  if (fonts.regular.file.empty()) {
    error = fonts.error.empty() ? "no font file given" : fonts.error;
    return;
  }
  if (!load(regular, fonts.regular.file, fonts.regular.index)) return;
  if (!fonts.bold.file.empty() && !load(bold, fonts.bold.file, fonts.bold.index)) {
    error.clear();  // the regular face still serves, emboldened
  }
}

LoadedFace& TextRenderer::Impl::faceFor(int weight, bool& embolden) {
  const bool wantsBold = weight >= kBoldWeight;
  embolden = wantsBold && !bold.face;
  return (wantsBold && bold.face) ? bold : regular;
}

std::optional<FaceSize> TextRenderer::Impl::faceSize(const LoadedFace& face, const Font& font,
                                               int64_t scale) const {
  const FaceMetrics& units = face.metrics;
  const double cellUnits = units.winAscent + units.winDescent;
  FaceSize result;
  TextMetrics& metrics = result.metrics;
  double pixelsPerEm = 0;
  // A positive height is the cell (ascent + descent), a negative one the em size.
  if (font.height >= 0) {
    const int64_t cell = (font.height == 0 ? kDefaultCellHeight : font.height) * scale;
    if (cell > kMaxPixels) return std::nullopt;
    pixelsPerEm = static_cast<double>(cell) * units.unitsPerEm / cellUnits;
    metrics.height = static_cast<int>(cell);
    metrics.ascent = static_cast<int>(roundedInteger(units.winAscent * static_cast<double>(cell) / cellUnits));
    metrics.descent = metrics.height - metrics.ascent;
  } else {
    const auto em = -static_cast<double>(font.height) * static_cast<double>(scale);
    if (em > static_cast<double>(kMaxPixels)) return std::nullopt;
    pixelsPerEm = em;
    metrics.ascent = static_cast<int>(roundedInteger(units.winAscent * em / units.unitsPerEm));
    metrics.descent = static_cast<int>(roundedInteger(units.winDescent * em / units.unitsPerEm));
    metrics.height = metrics.ascent + metrics.descent;
  }
  result.pixelsPerUnit = pixelsPerEm / units.unitsPerEm;
  // A width asks for that average character width; 0 keeps the face's own proportions.
  double pixelsPerEmX = pixelsPerEm;
  if (font.width != 0) {
    const double width = std::abs(static_cast<double>(font.width)) * static_cast<double>(scale);
    if (width > static_cast<double>(kMaxPixels)) return std::nullopt;
    pixelsPerEmX = width * units.unitsPerEm / units.averageWidth;
    metrics.averageWidth = static_cast<int>(width);
  } else {
    metrics.averageWidth = static_cast<int>(roundedInteger(units.averageWidth * result.pixelsPerUnit));
  }
  // FreeType reads a size of 0 as "same as the other axis", so the smallest size is 1/64.
  result.xSize = std::max<int64_t>(1, roundedInteger(pixelsPerEmX * 64));
  result.ySize = std::max<int64_t>(1, roundedInteger(pixelsPerEm * 64));
  if (result.xSize > 4 * kMaxPixels * 64 || result.ySize > 4 * kMaxPixels * 64) return std::nullopt;
  return result;
}

const Glyph& TextRenderer::Impl::glyph(LoadedFace& face, bool embolden, const FaceSize& size,
                                       unsigned char byte) {
  const std::uint64_t key = (static_cast<std::uint64_t>(&face == &bold) << 63) |
                            (static_cast<std::uint64_t>(embolden) << 62) |
                            (static_cast<std::uint64_t>(size.xSize) << 36) |
                            (static_cast<std::uint64_t>(size.ySize) << 10) | byte;
  if (auto found = glyphs.find(key); found != glyphs.end()) return found->second;
  if (glyphs.size() >= kMaxCachedGlyphs) glyphs.clear();
  Glyph& made = glyphs[key];

  FT_Face ft = face.face.get();
  if (face.xSize != size.xSize || face.ySize != size.ySize) {
    if (FT_Set_Char_Size(ft, size.xSize, size.ySize, 72, 72) != 0) return made;
    face.xSize = size.xSize;
    face.ySize = size.ySize;
  }
  const FT_UInt index = FT_Get_Char_Index(ft, toUnicode(byte));
  if (FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return made;
  if (embolden) FT_GlyphSlot_Embolden(ft->glyph);
  made.advance = static_cast<int>((ft->glyph->advance.x + 32) >> 6);
  if (FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) return made;
  const FT_Bitmap& bitmap = ft->glyph->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr) return made;
  made.left = ft->glyph->bitmap_left;
  made.top = ft->glyph->bitmap_top;
  made.width = static_cast<int>(bitmap.width);
  made.rows = static_cast<int>(bitmap.rows);
  made.coverage.resize(static_cast<std::size_t>(made.width) * static_cast<std::size_t>(made.rows));
  for (int row = 0; row < made.rows; ++row) {
    const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::copy_n(source, made.width,
                made.coverage.begin() + static_cast<std::ptrdiff_t>(row) * made.width);
  }
  return made;
}

TextRenderer::TextRenderer() : TextRenderer(askFontconfig()) {}

TextRenderer::TextRenderer(const std::string& regularFile, const std::string& boldFile)
    : TextRenderer(SystemFonts{{regularFile, 0}, {boldFile, 0}, {}}) {}

TextRenderer::TextRenderer(const SystemFonts& fonts) : impl_(std::make_unique<Impl>()) {
  if (impl_->start()) impl_->open(fonts);
}

TextRenderer::~TextRenderer() = default;

bool TextRenderer::ok() const { return impl_->regular.face != nullptr; }

const std::string& TextRenderer::error() const { return impl_->error; }

std::string TextRenderer::fontFile(int weight) const {
  bool embolden = false;
  return impl_->faceFor(weight, embolden).file;
}

std::optional<TextMetrics> TextRenderer::metrics(const Font& font) {
  if (!ok()) return std::nullopt;
  bool embolden = false;
  const std::optional<FaceSize> size = impl_->faceSize(impl_->faceFor(font.weight, embolden), font);
  if (!size) return std::nullopt;
  return size->metrics;
}

int TextRenderer::textWidth(std::string_view text, const Font& font) {
  if (!ok()) return 0;
  bool embolden = false;
  LoadedFace& face = impl_->faceFor(font.weight, embolden);
  const std::optional<FaceSize> size = impl_->faceSize(face, font);
  if (!size) return 0;
  int64_t width = 0;
  for (const char c : text) {
    width += impl_->glyph(face, embolden, *size, static_cast<unsigned char>(c)).advance;
  }
  return static_cast<int>(std::min<int64_t>(width, INT32_MAX));
}

namespace {

// Blends `rgb` over `pixel` with coverage 0..255, channel by channel.
std::uint32_t blend(std::uint32_t pixel, std::uint32_t rgb, unsigned coverage) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const unsigned under = (pixel >> shift) & 0xFFu;
    const unsigned over = (rgb >> shift) & 0xFFu;
    out |= ((over * coverage + under * (255 - coverage) + 127) / 255) << shift;
  }
  return out;
}

// Draws coverage (rows of `width` bytes; null is solid) with its top-left at (x, y), inside
// `clip`.
void paintCoverage(const PixelTarget& target, const Rect& clip, int64_t x, int64_t y,
                   const std::uint8_t* coverage, int width, int rows, std::uint32_t rgb) {
  const int64_t left = std::max<int64_t>(x, clip.left);
  const int64_t right = std::min<int64_t>(x + width, clip.right);
  const int64_t top = std::max<int64_t>(y, clip.top);
  const int64_t bottom = std::min<int64_t>(y + rows, clip.bottom);
  for (int64_t row = top; row < bottom; ++row) {
    const std::uint8_t* source = coverage == nullptr ? nullptr : coverage + (row - y) * width;
    std::uint32_t* line = target.pixels.data() + row * target.width;
    for (int64_t column = left; column < right; ++column) {
      const unsigned alpha = source == nullptr ? 255u : source[column - x];
      if (alpha == 255) {
        line[column] = rgb;
      } else if (alpha != 0) {
        line[column] = blend(line[column], rgb, alpha);
      }
    }
  }
}

}  // namespace

void TextRenderer::draw(const PixelTarget& target, const Rect& clip, const Rect& area,
                        std::string_view text, const Font& font, std::uint32_t rgb,
                        int scale) {
  if (!ok() || text.empty()) return;
  // Never touch pixels the target does not have, whatever clip we are given.
  const Rect bounds{std::max(clip.left, 0), std::max(clip.top, 0),
                    std::min(clip.right, target.width), std::min(clip.bottom, target.height)};
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom ||
      target.pixels.size() < static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.height)) {
    return;
  }
  bool embolden = false;
  LoadedFace& face = impl_->faceFor(font.weight, embolden);
  scale = std::max(scale, 1);
  std::optional<FaceSize> size = impl_->faceSize(face, font, scale);
  if (!size) return;
  const auto advanceWidth = [&](const FaceSize& at) {
    int64_t sum = 0;
    forEachShown(text, [&](unsigned char c, bool) {
      sum += impl_->glyph(face, embolden, at, c).advance;
    });
    return sum;
  };
  // The columns the line's ink spans when centred between `left` and `right`.
  const auto inkSpan = [&](const FaceSize& at, int64_t left, int64_t right) {
    int64_t pen = (left + right - advanceWidth(at)) / 2;
    std::pair<int64_t, int64_t> span{INT64_MAX, INT64_MIN};
    forEachShown(text, [&](unsigned char c, bool) {
      const Glyph& shape = impl_->glyph(face, embolden, at, c);
      if (shape.width > 0) {
        span.first = std::min(span.first, pen + shape.left);
        span.second = std::max(span.second, pen + shape.left + shape.width);
      }
      pen += shape.advance;
    });
    return span;
  };

  // Hinted glyphs do not grow in proportion: a line can come out wider than s times its
  // scale-1 ink, and a box the scale-1 line just fills then cuts a stroke off its ends. The
  // face is narrowed a little at a time until the ink keeps within the box, or passes it no
  // further than the scale-1 ink less its one antialiased column does, enlarged.
  if (scale > 1) {
    const std::optional<FaceSize> plain = impl_->faceSize(face, font);
    const auto [plainLeft, plainRight] =
        plain ? inkSpan(*plain, int64_t{area.left} / scale, int64_t{area.right} / scale)
              : std::pair<int64_t, int64_t>{0, 0};
    if (plainLeft < plainRight) {  // a line with ink at scale 1
      const int64_t leftLimit = std::min<int64_t>(area.left, (plainLeft + 1) * scale);
      const int64_t rightLimit = std::max<int64_t>(area.right, (plainRight - 1) * scale);
      for (int tries = 0; tries < 16; ++tries) {
        const auto [inkLeft, inkRight] = inkSpan(*size, area.left, area.right);
        if (inkLeft >= inkRight || (inkLeft >= leftLimit && inkRight <= rightLimit)) break;
        size->xSize = std::max<int64_t>(1, size->xSize * 63 / 64);
      }
    }
  }
  const int64_t width = advanceWidth(*size);
  // DrawText's own integer arithmetic: centred on the advance width and the cell height.
  const int64_t x = (int64_t{area.left} + area.right - width) / 2;
  const int64_t y = int64_t{area.top} + (int64_t{area.bottom} - area.top) / 2 - size->metrics.height / 2;
  const int64_t baseline = y + size->metrics.ascent;

  int64_t pen = x;
  forEachShown(text, [&](unsigned char c, bool underlined) {
    const Glyph& shape = impl_->glyph(face, embolden, *size, c);
    if (pen < bounds.right + kMaxPixels && pen + shape.advance > bounds.left - kMaxPixels) {
      paintCoverage(target, bounds, pen + shape.left, baseline - shape.top, shape.coverage.data(),
                    shape.width, shape.rows, rgb);
      // DrawText underlines a prefixed character with a one-pixel line just below the
      // baseline, one pixel shorter than its advance (scale pixels at that scale).
      if (underlined && shape.advance > scale) {
        paintCoverage(target, bounds, pen, baseline + scale, nullptr, shape.advance - scale,
                      scale, rgb);
      }
    }
    pen += shape.advance;
  });
}
