// The drawing interface made of GDI calls on one device context.
#include "hosts/win32/GdiCanvas.h"

#include <climits>
#include <cstddef>

#include "hosts/win32/GdiHandles.h"

// The results of the drawing calls are not checked: a failed GDI call leaves pixels undrawn and
// there is nothing better to do in the middle of a paint.

namespace {

// GDI reads a COLORREF's high byte as flags; the widgets' "no colour" -1 must not reach it.
COLORREF colourRef(Colour colour) { return static_cast<COLORREF>(colour) & 0x00FFFFFFu; }

HPEN createPen(const Pen& pen) { return CreatePen(PS_SOLID, pen.width, colourRef(pen.colour)); }

}  // namespace

void GdiCanvas::blit(int bitmapId, int x, int y, int width, int height) {
  MemoryDc memory(dc_);
  // An id without a bitmap resource loads nothing, and nothing is drawn.
  GdiObject<HBITMAP> bitmap(
      LoadBitmapA(instance_, MAKEINTRESOURCEA(static_cast<WORD>(bitmapId & 0xFFFF))));
  if (!memory || !bitmap) return;
  Selection selected(memory.get(), bitmap.get());
  // GDI clips the source to the bitmap, so a rectangle larger than the bitmap copies only the
  // bitmap's own pixels.
  BitBlt(dc_, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
}

void GdiCanvas::rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) {
  // The stock NULL_BRUSH belongs to the system: it is selected but never deleted.
  GdiObject<HBRUSH> solid(brush ? CreateSolidBrush(colourRef(*brush)) : nullptr);
  const HGDIOBJ fill = brush ? static_cast<HGDIOBJ>(solid.get()) : GetStockObject(NULL_BRUSH);
  GdiObject<HPEN> outline(createPen(pen));
  Selection brushSelected(dc_, fill);
  Selection penSelected(dc_, outline.get());
  Rectangle(dc_, area.left, area.top, area.right, area.bottom);
}

void GdiCanvas::line(Point from, Point to, const Pen& pen) {
  GdiObject<HPEN> stroke(createPen(pen));
  Selection selected(dc_, stroke.get());
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void GdiCanvas::text(const Rect& area, std::string_view text, const Font& font, Colour colour) {
  GdiObject<HFONT> face(CreateFontA(font.height, font.width, 0, 0, font.weight, 0, 0, 0, 0, 0, 0,
                                    0, 0, nullptr));
  Selection selected(dc_, face.get());
  SetTextColor(dc_, colourRef(colour));
  SetBkMode(dc_, TRANSPARENT);
  RECT box{area.left, area.top, area.right, area.bottom};
  const int length = text.size() > static_cast<std::size_t>(INT_MAX)
                         ? INT_MAX
                         : static_cast<int>(text.size());
  DrawTextA(dc_, text.data(), length, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GdiCanvas::paintOffscreen(int width, int height, Painter& painter) {
  MemoryDc memory(dc_);
  // Compatible with the target, not with the memory DC, which would give a monochrome bitmap.
  GdiObject<HBITMAP> frame(CreateCompatibleBitmap(dc_, width, height));
  if (!memory || !frame) return;
  Selection selected(memory.get(), frame.get());
  GdiCanvas offscreen(instance_, memory.get());
  painter.paint(offscreen);
  BitBlt(dc_, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}
