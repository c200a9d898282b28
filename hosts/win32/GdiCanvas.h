// The drawing interface made of GDI calls on one device context.
#pragma once

#include "platform/canvas.h"
#include "hosts/win32/Win32Api.h"

// Every call is one complete GDI sequence: what it creates (memory DC, bitmap, pen, brush, font)
// it selects, uses, selects back and deletes before it returns, so nothing outlives a call and
// the device context is left as it was found (text colour and background mode aside).
//
// The game draws in logical 96-dpi pixels; at a window DPI above 96 the canvas draws the same
// picture larger, at DPI / 96: coordinates and line widths scaled, text made afresh by GDI at
// the scaled height, so it stays sharp, and bitmaps enlarged by whole pixel blocks at whole
// factors (crisp, as the artwork is drawn) but smoothly at fractional ones, where blocks of one
// and two pixels in turn would make the tiles' one-pixel edges uneven. At 96 dpi every call is
// the plain GDI sequence the picture is defined by, so the pixels are exactly those described.
class GdiCanvas final : public Canvas {
 public:
  // `instance` is the module whose bitmap resources `blit` loads; `dc` is borrowed. `dpi` is the
  // window's, 96 or more.
  GdiCanvas(HINSTANCE instance, HDC dc, int dpi = 96) : instance_(instance), dc_(dc), dpi_(dpi) {}

  void blit(int bitmapId, int x, int y, int width, int height) override;
  void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override;
  void line(Point from, Point to, const Pen& pen) override;
  void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override;
  void paintOffscreen(int width, int height, Painter& painter) override;

 private:
  bool scaled() const { return dpi_ != 96; }
  int physical(int logical) const;
  RECT physical(const Rect& logical) const;
  // A pen of the scaled width, drawn inside the figure it outlines when `insideFrame`.
  HPEN createScaledPen(const Pen& pen, bool insideFrame) const;

  HINSTANCE instance_;
  HDC dc_;
  int dpi_;
};
