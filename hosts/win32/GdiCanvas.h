// The drawing interface made of GDI calls on one device context.
#pragma once

#include "platform/canvas.h"
#include "hosts/win32/Win32Api.h"

// Every call is one complete GDI sequence: what it creates (memory DC, bitmap, pen, brush, font)
// it selects, uses, selects back and deletes before it returns, so nothing outlives a call and
// the device context is left as it was found (text colour and background mode aside).
class GdiCanvas final : public Canvas {
 public:
  // `instance` is the module whose bitmap resources `blit` loads; `dc` is borrowed.
  GdiCanvas(HINSTANCE instance, HDC dc) : instance_(instance), dc_(dc) {}

  void blit(int bitmapId, int x, int y, int width, int height) override;
  void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override;
  void line(Point from, Point to, const Pen& pen) override;
  void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override;
  void paintOffscreen(int width, int height, Painter& painter) override;

 private:
  HINSTANCE instance_;
  HDC dc_;
};
