// FreeType text for the software canvas, sized and placed the way GDI's DrawText does.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/canvas.h"

struct SystemFonts;

// The kept glyphs' file, beside the font answer's `fontCacheFile` (see FontLookup.h).
std::string keptGlyphsFile(const std::string& fontCacheFile);

// A pixel buffer to draw into: 0x00RRGGBB, rows top-down, width * height pixels.
struct PixelTarget {
  std::span<std::uint32_t> pixels;
  int width = 0;
  int height = 0;
};

// GDI's TEXTMETRIC for a font: cell height = ascent + descent, all in pixels.
struct TextMetrics {
  int ascent = 0;
  int descent = 0;
  int height = 0;
  int averageWidth = 0;
};

// Owns the loaded faces and a cache of rasterised glyphs (the system's font cache; no GDI
// object outlives a draw call), which can be kept in a file between runs: a run that finds
// everything it draws there never loads FreeType. Not thread-safe: the program draws on one
// thread.
class TextRenderer {
 public:
  // Finds the platform's sans-serif face and its bold with fontconfig; when only another
  // face exists that one is used, and bold is then made by emboldening.
  TextRenderer();
  // Uses these font files; without a (readable) bold file the regular face is emboldened.
  TextRenderer(const std::string& regularFile, const std::string& boldFile);
  // Uses the faces found beforehand (see FontLookup.h, which can run on another thread); with
  // no regular face, error() is the reason the lookup gave. The glyphs kept in `keptFile` are
  // used while the two faces' files are as they were when it was written.
  explicit TextRenderer(const SystemFonts& fonts, std::string keptFile = {});
  ~TextRenderer();
  TextRenderer(const TextRenderer&) = delete;
  TextRenderer& operator=(const TextRenderer&) = delete;

  // Whether text can be drawn; otherwise error() says why there is no font ("fontconfig knows
  // no font files", a file FreeType cannot load ...) and drawing does nothing.
  bool ok() const;
  const std::string& error() const;
  // The font file used for this weight, empty when none is loaded.
  std::string fontFile(int weight) const;

  // CreateFontA's mapping of `font` to pixels; nothing when no face is loaded or the size is
  // beyond what the renderer draws (a cell or average width above 1024 pixels).
  std::optional<TextMetrics> metrics(const Font& font);
  // The advance width of one line, as GetTextExtentPoint32 measures it (no '&' processing).
  int textWidth(std::string_view text, const Font& font);

  // DrawTextA(area, DT_CENTER | DT_VCENTER | DT_SINGLELINE) in a transparent mode, touching only
  // pixels inside `clip` (SoftCanvas passes the area, as DrawText without DT_NOCLIP clips to
  // it). A '&' underlines the next character and "&&" shows one '&'. At `scale` above 1 the
  // font is rendered that many times its size and the underline is that many pixels thick, for
  // a target with `scale` pixels per logical one (the area and clip are in target pixels).
  void draw(const PixelTarget& target, const Rect& clip, const Rect& area, std::string_view text,
            const Font& font, std::uint32_t rgb, int scale = 1);

  // Writes the glyphs held to the kept file when this run rendered any it lacked, with every
  // printable character of the sizes it drew at.
  void keepGlyphs();

  // How many times renderers of this process have loaded FreeType, for tests.
  static int freeTypeOpenings();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
