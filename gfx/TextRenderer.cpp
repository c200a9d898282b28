// FreeType text for the software canvas: CreateFontA's size mapping and DrawText's placement,
// and the glyphs kept between runs so that most starts never load FreeType.
#include "gfx/TextRenderer.h"

#include "gfx/FontLookup.h"
#include "gfx/KeptGlyphs.h"
#include "gfx/Rounding.h"
#include "gfx/SharedLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <atomic>
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

// The pixel size and resulting TEXTMETRIC of one CreateFontA request on one face.
struct FaceSize {
  TextMetrics metrics;
  int64_t xSize = 0;  // 26.6 pixels per em
  int64_t ySize = 0;
  double pixelsPerUnit = 0;  // vertical
  bool narrowed = false;     // a size tried to fit one line only, of no use to other text
};

// The FreeType functions the renderer calls, taken from the library when a run first needs a
// glyph or a face it has not kept. The library stays loaded to the end of the process.
#define DERADU_FREETYPE_FUNCTIONS(X)                                                    \
  X(FT_Init_FreeType) X(FT_Done_FreeType) X(FT_Library_Version) X(FT_New_Face)           \
  X(FT_Done_Face) X(FT_Get_Sfnt_Table) X(FT_Set_Char_Size) X(FT_Get_Char_Index)          \
  X(FT_Load_Glyph) X(FT_GlyphSlot_Embolden) X(FT_Render_Glyph)
struct FreeType {
  DERADU_FREETYPE_FUNCTIONS(DERADU_FUNCTION_SLOT)
};

// Fills `calls` from libfreetype, opened the first time.
bool bindFreeType(FreeType& calls) {
  static const SharedLibrary library("libfreetype.so.6");
  return library.bindTable(calls, [](FreeType& table) {
    bool all = true;
    DERADU_FREETYPE_FUNCTIONS(DERADU_BIND_SLOT)
    return all;
  });
}

// Every renderer's loads of FreeType, which tests count.
std::atomic<int> freeTypeLoads{0};

struct LoadedFace {
  FT_Face face = nullptr;  // null until FreeType loads it
  bool usable = false;     // loaded, or its metrics and glyphs are kept
  std::string file;
  FaceMetrics metrics;
  int64_t xSize = -1;  // the size FT_Set_Char_Size last set, 26.6
  int64_t ySize = -1;
};

// The printable bytes: what is kept of every size drawn at. C1 controls (unassigned in
// Windows-1252) have no glyph.
bool printable(unsigned char byte) {
  return (byte >= 32 && byte < 127) || (byte >= 0x80 && toUnicode(byte) >= 0xA0);
}

}  // namespace

struct TextRenderer::Impl {
  SystemFonts fonts;
  std::string keptFile;
  std::string faces;  // faceIdentity's, of the faces given
  std::array<std::int32_t, 3> version{};  // FreeType's, of the glyphs held
  bool renderedNew = false;  // glyphs the kept file lacks
  bool freeTypeTried = false;
  FreeType calls;
  FT_Library library = nullptr;
  LoadedFace regular;
  LoadedFace bold;  // unusable: bold is the regular face emboldened
  std::string error;
  std::unordered_map<std::uint64_t, Glyph> glyphs;
  std::unique_ptr<const std::string> keptBytes;  // what kept glyphs' coverage points into
  // The sizes this run drew at, whose every printable glyph is rendered before the glyphs are
  // kept, so that a later run drawing other text at one finds them all there. Done then rather
  // than at the first glyph, which is drawn while the first frame waits.
  struct SizeToFill {
    const LoadedFace* face;
    bool embolden;
    int64_t xSize;
    int64_t ySize;
    bool operator==(const SizeToFill&) const = default;
  };
  std::vector<SizeToFill> sizesToFill;

  ~Impl();
  void dropGlyphs() {
    glyphs.clear();
    keptBytes.reset();
  }
  // Loads FreeType and the faces on the first call; false when it cannot render.
  bool start();
  bool load(LoadedFace& target, const std::string& file, int index);
  void open();
  bool readKept();
  std::string kept() const;

  // The face for this weight and whether it must be emboldened.
  LoadedFace& faceFor(int weight, bool& embolden);
  // `scale` multiplies every size the font asks for.
  std::optional<FaceSize> faceSize(const LoadedFace& face, const Font& font, int64_t scale = 1) const;
  const Glyph& glyph(LoadedFace& face, bool embolden, const FaceSize& size, unsigned char byte);
  std::uint64_t keyOf(const LoadedFace& face, bool embolden, int64_t xSize, int64_t ySize,
                      unsigned char byte) const;
  // Renders one glyph into the cache, unless it is there.
  const Glyph& render(LoadedFace& face, bool embolden, int64_t xSize, int64_t ySize,
                      unsigned char byte);
};

TextRenderer::Impl::~Impl() {
  for (LoadedFace* face : {&regular, &bold}) {
    if (face->face != nullptr) calls.FT_Done_Face(face->face);
  }
  if (library != nullptr) calls.FT_Done_FreeType(library);
}

bool TextRenderer::Impl::start() {
  if (freeTypeTried) return library != nullptr && regular.face != nullptr;
  freeTypeTried = true;
  ++freeTypeLoads;
  FT_Library raw = nullptr;
  if (!bindFreeType(calls)) {
    error = "FreeType (libfreetype.so.6) could not be loaded";
  } else if (calls.FT_Init_FreeType(&raw) != 0) {
    error = "FreeType could not be initialised";
  }
  if (raw == nullptr) {
    regular.usable = bold.usable = false;
    return false;
  }
  library = raw;
  FT_Int major = 0, minor = 0, patch = 0;
  calls.FT_Library_Version(library, &major, &minor, &patch);
  const std::array<std::int32_t, 3> running{major, minor, patch};
  const bool hadBold = bold.usable;
  open();
  // Glyphs another version rendered, or kept for a bold face that no longer loads, would not
  // match what this one draws: they are all rendered anew.
  if (running != version || hadBold != bold.usable) dropGlyphs();
  version = running;
  return regular.face != nullptr;
}

bool TextRenderer::Impl::load(LoadedFace& target, const std::string& file, int index) {
  FT_Face raw = nullptr;
  const FT_Error failure = calls.FT_New_Face(library, file.c_str(), index, &raw);
  if (failure != 0) {
    error = "cannot load font file \"" + file + "\" (FreeType error " + std::to_string(failure) + ")";
    return false;
  }
  target.face = raw;
  target.file = file;
  if (!FT_IS_SCALABLE(raw)) {
    error = "font file \"" + file + "\" has no scalable outlines";
    calls.FT_Done_Face(raw);
    target.face = nullptr;
    return false;
  }
  target.usable = true;
  // Windows sizes fonts by the OS/2 win ascent and descent and its average width.
  FaceMetrics& metrics = target.metrics;
  metrics.unitsPerEm = raw->units_per_EM > 0 ? raw->units_per_EM : 2048;
  const auto* os2 = static_cast<const TT_OS2*>(calls.FT_Get_Sfnt_Table(raw, FT_SFNT_OS2));
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

void TextRenderer::Impl::open() {
  regular.usable = bold.usable = false;
  if (!load(regular, fonts.regular.file, fonts.regular.index)) return;
  if (!fonts.bold.file.empty() && !load(bold, fonts.bold.file, fonts.bold.index)) {
    error.clear();  // the regular face still serves, emboldened
  }
}

bool TextRenderer::Impl::readKept() {
  std::optional<KeptGlyphs> kept = readKeptGlyphs(keptFile, faces, kMaxCachedGlyphs);
  if (!kept || !kept->faces[0].usable || (kept->faces[1].usable && fonts.bold.file.empty())) {
    return false;
  }
  version = kept->version;
  regular.usable = true;
  regular.metrics = kept->faces[0].metrics;
  bold.usable = kept->faces[1].usable;
  bold.metrics = kept->faces[1].metrics;
  glyphs = std::move(kept->glyphs);
  keptBytes = std::move(kept->bytes);
  return true;
}

std::string TextRenderer::Impl::kept() const {
  return keptGlyphsContent(faces, version,
                           {KeptFace{regular.usable, regular.metrics},
                            KeptFace{bold.usable, bold.metrics}},
                           glyphs);
}

LoadedFace& TextRenderer::Impl::faceFor(int weight, bool& embolden) {
  const bool wantsBold = weight >= kBoldWeight;
  embolden = wantsBold && !bold.usable;
  return (wantsBold && bold.usable) ? bold : regular;
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

std::uint64_t TextRenderer::Impl::keyOf(const LoadedFace& face, bool embolden, int64_t xSize,
                                        int64_t ySize, unsigned char byte) const {
  return (static_cast<std::uint64_t>(&face == &bold) << 63) |
         (static_cast<std::uint64_t>(embolden) << 62) | (static_cast<std::uint64_t>(xSize) << 36) |
         (static_cast<std::uint64_t>(ySize) << 10) | byte;
}

const Glyph& TextRenderer::Impl::glyph(LoadedFace& face, bool embolden, const FaceSize& size,
                                       unsigned char byte) {
  const std::uint64_t key = keyOf(face, embolden, size.xSize, size.ySize, byte);
  if (auto found = glyphs.find(key); found != glyphs.end()) return found->second;
  static const Glyph kNone;
  // The face is the one asked for before FreeType was loaded: a kept bold face that no longer
  // loads draws nothing until the next call picks the emboldened regular one.
  if (!start() || face.face == nullptr) return kNone;
  if (glyphs.size() >= kMaxCachedGlyphs) dropGlyphs();
  // A size narrowed to fit one line is of no use to other text.
  const SizeToFill fill{&face, embolden, size.xSize, size.ySize};
  if (!size.narrowed && std::find(sizesToFill.begin(), sizesToFill.end(), fill) == sizesToFill.end()) {
    sizesToFill.push_back(fill);
  }
  return render(face, embolden, size.xSize, size.ySize, byte);
}

const Glyph& TextRenderer::Impl::render(LoadedFace& face, bool embolden, int64_t xSize,
                                        int64_t ySize, unsigned char byte) {
  static const Glyph kNone;
  FT_Face ft = face.face;
  if (face.xSize != xSize || face.ySize != ySize) {
    if (calls.FT_Set_Char_Size(ft, xSize, ySize, 72, 72) != 0) return kNone;
    face.xSize = xSize;
    face.ySize = ySize;
  }
  const auto [where, added] = glyphs.try_emplace(keyOf(face, embolden, xSize, ySize, byte));
  Glyph& made = where->second;
  if (!added) return made;
  renderedNew = true;
  const FT_UInt index = calls.FT_Get_Char_Index(ft, toUnicode(byte));
  if (calls.FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return made;
  if (embolden) calls.FT_GlyphSlot_Embolden(ft->glyph);
  made.advance = static_cast<int>((ft->glyph->advance.x + 32) >> 6);
  if (calls.FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) return made;
  const FT_Bitmap& bitmap = ft->glyph->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr) return made;
  made.left = ft->glyph->bitmap_left;
  made.top = ft->glyph->bitmap_top;
  made.width = static_cast<int>(bitmap.width);
  made.rows = static_cast<int>(bitmap.rows);
  made.rendered.resize(static_cast<std::size_t>(made.width) * static_cast<std::size_t>(made.rows));
  for (int row = 0; row < made.rows; ++row) {
    const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::copy_n(source, made.width,
                made.rendered.begin() + static_cast<std::ptrdiff_t>(row) * made.width);
  }
  made.coverage = made.rendered.data();
  return made;
}

TextRenderer::TextRenderer() : TextRenderer(askFontconfig()) {}

TextRenderer::TextRenderer(const std::string& regularFile, const std::string& boldFile)
    : TextRenderer(SystemFonts{{regularFile, 0}, {boldFile, 0}, {}}) {}

TextRenderer::TextRenderer(const SystemFonts& fonts, std::string keptFile)
    : impl_(std::make_unique<Impl>()) {
  Impl& impl = *impl_;
  impl.fonts = fonts;
  if (fonts.regular.file.empty()) {
    impl.error = fonts.error.empty() ? "no font file given" : fonts.error;
    return;
  }
  impl.regular.file = fonts.regular.file;
  impl.bold.file = fonts.bold.file;
  impl.keptFile = std::move(keptFile);
  if (!impl.keptFile.empty()) {
    impl.faces = faceIdentity(fonts.regular, fonts.bold);
    if (impl.readKept()) return;
  }
  // Without kept faces FreeType is loaded now, on the caller's thread, as the program finds
  // its fonts on a helper thread; this also tells ok() whether the faces load.
  impl.start();
}

TextRenderer::~TextRenderer() = default;

bool TextRenderer::ok() const { return impl_->regular.usable; }

void TextRenderer::keepGlyphs() {
  Impl& impl = *impl_;
  if (impl.keptFile.empty() || !impl.renderedNew || impl.regular.face == nullptr) return;
  for (const Impl::SizeToFill& fill : impl.sizesToFill) {
    for (unsigned c = 0; c < 256 && impl.glyphs.size() < kMaxCachedGlyphs; ++c) {
      LoadedFace& face = fill.face == &impl.bold ? impl.bold : impl.regular;
      if (printable(static_cast<unsigned char>(c)) && face.face != nullptr) {
        impl.render(face, fill.embolden, fill.xSize, fill.ySize, static_cast<unsigned char>(c));
      }
    }
  }
  // A cache that cannot be written only costs the next start the rendering.
  writeKeptFile(impl.keptFile, impl.kept());
}

int TextRenderer::freeTypeOpenings() { return freeTypeLoads; }

std::string keptGlyphsFile(const std::string& fontCacheFile) {
  const std::size_t slash = fontCacheFile.rfind('/');
  return slash == std::string::npos ? std::string() : fontCacheFile.substr(0, slash + 1) + "glyphs";
}

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
        size->narrowed = true;
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
      paintCoverage(target, bounds, pen + shape.left, baseline - shape.top, shape.coverage,
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
