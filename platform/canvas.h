// The drawing interface the widget kit paints through: one call is one complete GDI sequence.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A Windows COLORREF, 0x00BBGGRR. Negative values mean "no colour" to the widgets that test
// for it; a canvas that is handed one anyway uses the low 24 bits, as GDI does.
using Colour = std::int32_t;

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left and top inclusive, right and bottom exclusive, as GDI rectangles are.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A PS_SOLID pen. Width 0 draws one pixel wide, as GDI does.
struct Pen {
  Colour colour = 0;
  int width = 0;
};

// CreateFontA's height (character cell, pixels), average character width (pixels) and weight
// (400 normal, 700 bold, 900 heavy). No face name: the platform's default sans-serif face.
struct Font {
  int height = 0;
  int width = 0;
  int weight = 400;
};

class Canvas {
 public:
  // Whatever paints a whole frame into an off-screen surface.
  class Painter {
   public:
    virtual void paint(Canvas& offscreen) = 0;

   protected:
    ~Painter() = default;
  };

  virtual ~Canvas() = default;

  // Loads bitmap resource `bitmapId` (low 16 bits), copies its top-left width x height at its own
  // scale to (x, y) and releases it. Never copies past the bitmap's size or the target's edges;
  // an id that names no bitmap draws nothing.
  virtual void blit(int bitmapId, int x, int y, int width, int height) = 0;

  // GDI Rectangle(left, top, right, bottom): the pen outlines the area's outer ring and the brush
  // fills the rest. No brush is the stock NULL_BRUSH: only the outline is drawn.
  virtual void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) = 0;

  // MoveToEx(from) then LineTo(to): the end point itself is left out.
  virtual void line(Point from, Point to, const Pen& pen) = 0;

  // DrawTextA with DT_CENTER | DT_VCENTER | DT_SINGLELINE on a transparent background.
  virtual void text(const Rect& area, std::string_view text, const Font& font, Colour colour) = 0;

  // Paints `painter` into a fresh off-screen surface of width x height and copies it to this
  // canvas at (0, 0) in one step, so the target never shows a half-drawn frame.
  virtual void paintOffscreen(int width, int height, Painter& painter) = 0;
};
