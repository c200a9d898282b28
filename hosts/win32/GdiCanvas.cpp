// The drawing interface made of GDI calls on one device context.
#include "hosts/win32/GdiCanvas.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <tuple>
#include <utility>

#include "hosts/win32/DpiScale.h"
#include "hosts/win32/GdiHandles.h"

// The results of the drawing calls are not checked: a failed GDI call leaves pixels undrawn and
// there is nothing better to do in the middle of a paint.

namespace {

// GDI reads a COLORREF's high byte as flags; the widgets' "no colour" -1 must not reach it.
COLORREF colourRef(Colour colour) { return static_cast<COLORREF>(colour) & 0x00FFFFFFu; }

HPEN createPen(const Pen& pen) { return CreatePen(PS_SOLID, pen.width, colourRef(pen.colour)); }

}  // namespace

// At 96 dpi every coordinate is its own physical one.
int GdiCanvas::physical(int logical) const { return dpi::toPhysical(logical, dpi_); }

RECT GdiCanvas::physical(const Rect& logical) const {
  return {physical(logical.left), physical(logical.top), physical(logical.right),
          physical(logical.bottom)};
}

HPEN GdiCanvas::createScaledPen(const Pen& pen, bool insideFrame) const {
  // A one-pixel pen stays as wide as every other one-pixel line of the picture.
  const int width = pen.width <= 1 ? dpi::lineWidth(dpi_) : physical(pen.width);
  if (!insideFrame) return CreatePen(PS_SOLID, width, colourRef(pen.colour));
  // Mitred, so that the ring keeps its square corners, as the 96-dpi one has.
  const LOGBRUSH colour{BS_SOLID, colourRef(pen.colour), 0};
  return ExtCreatePen(PS_GEOMETRIC | PS_INSIDEFRAME | PS_JOIN_MITER, static_cast<DWORD>(width),
                      &colour, 0, nullptr);
}

void GdiCanvas::blit(int bitmapId, int x, int y, int width, int height) {
  MemoryDc memory(dc_);
  // An id without a bitmap resource loads nothing, and nothing is drawn.
  GdiObject<HBITMAP> bitmap(
      LoadBitmapA(instance_, MAKEINTRESOURCEA(static_cast<WORD>(bitmapId & 0xFFFF))));
  if (!memory || !bitmap) return;
  Selection selected(memory.get(), bitmap.get());
  if (!scaled()) {
    // GDI clips the source to the bitmap, so a rectangle larger than the bitmap copies only the
    // bitmap's own pixels.
    BitBlt(dc_, x, y, width, height, memory.get(), 0, 0, SRCCOPY);
    return;
  }
  // StretchBlt does not clip its source: the part of the bitmap to copy is cut here.
  BITMAP size{};
  if (GetObjectA(bitmap.get(), sizeof size, &size) == 0) return;
  const int sourceWidth = std::min(width, static_cast<int>(size.bmWidth));
  const int sourceHeight = std::min(height, static_cast<int>(size.bmHeight));
  if (sourceWidth <= 0 || sourceHeight <= 0) return;
  const int left = physical(x);
  const int top = physical(y);
  const bool whole = dpi::isWholeFactor(dpi_);
  const int previousMode = SetStretchBltMode(dc_, whole ? COLORONCOLOR : HALFTONE);
  // HALFTONE leaves the brush origin undefined until it is set again.
  POINT previousOrigin{};
  if (!whole) SetBrushOrgEx(dc_, 0, 0, &previousOrigin);
  StretchBlt(dc_, left, top, physical(x + sourceWidth) - left, physical(y + sourceHeight) - top,
             memory.get(), 0, 0, sourceWidth, sourceHeight, SRCCOPY);
  if (!whole) SetBrushOrgEx(dc_, previousOrigin.x, previousOrigin.y, nullptr);
  if (previousMode != 0) SetStretchBltMode(dc_, previousMode);
}

void GdiCanvas::rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) {
  // The stock NULL_BRUSH belongs to the system: it is selected but never deleted.
  GdiObject<HBRUSH> solid(brush ? CreateSolidBrush(colourRef(*brush)) : nullptr);
  const HGDIOBJ fill = brush ? static_cast<HGDIOBJ>(solid.get()) : GetStockObject(NULL_BRUSH);
  // Scaled, a one-pixel outline is the outer ring the scaled line width deep, as the enlarged
  // 96-dpi ring is; a wider pen stays centred on the outline.
  GdiObject<HPEN> outline(scaled() ? createScaledPen(pen, pen.width <= 1) : createPen(pen));
  Selection brushSelected(dc_, fill);
  Selection penSelected(dc_, outline.get());
  const RECT box = physical(area);
  Rectangle(dc_, box.left, box.top, box.right, box.bottom);
}

void GdiCanvas::line(Point from, Point to, const Pen& pen) {
  if (scaled() && pen.width <= 1 && (from.x == to.x || from.y == to.y)) {
    // A scaled pen is centred on its path and would cover half a logical pixel either side;
    // the one-pixel lines of the grid are filled as the blocks of the pixels they cover at
    // 96 dpi instead: from the start up to the end point, which is left out.
    if (from == to) return;
    const int width = dpi::lineWidth(dpi_);
    const auto span = [this](int start, int end) {
      return start < end ? std::pair{physical(start), physical(end)}
                         : std::pair{physical(end + 1), physical(start + 1)};
    };
    RECT blocks{};
    if (from.y == to.y) {
      std::tie(blocks.left, blocks.right) = span(from.x, to.x);
      blocks.top = physical(from.y);
      blocks.bottom = blocks.top + width;
    } else {
      std::tie(blocks.top, blocks.bottom) = span(from.y, to.y);
      blocks.left = physical(from.x);
      blocks.right = blocks.left + width;
    }
    GdiObject<HBRUSH> paint(CreateSolidBrush(colourRef(pen.colour)));
    FillRect(dc_, &blocks, paint.get());
    return;
  }
  GdiObject<HPEN> stroke(scaled() ? createScaledPen(pen, false) : createPen(pen));
  Selection selected(dc_, stroke.get());
  MoveToEx(dc_, physical(from.x), physical(from.y), nullptr);
  LineTo(dc_, physical(to.x), physical(to.y));
}

void GdiCanvas::text(const Rect& area, std::string_view text, const Font& font, Colour colour) {
  // Scaled, GDI renders the face afresh at the larger cell, which keeps the strokes sharp.
  GdiObject<HFONT> face(CreateFontA(physical(font.height), physical(font.width), 0, 0, font.weight,
                                    0, 0, 0, 0, 0, 0, 0, 0, nullptr));
  Selection selected(dc_, face.get());
  SetTextColor(dc_, colourRef(colour));
  SetBkMode(dc_, TRANSPARENT);
  RECT box = physical(area);
  const int length = text.size() > static_cast<std::size_t>(INT_MAX)
                         ? INT_MAX
                         : static_cast<int>(text.size());
  DrawTextA(dc_, text.data(), length, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GdiCanvas::paintOffscreen(int logicalWidth, int logicalHeight, Painter& painter) {
  const int width = physical(logicalWidth);
  const int height = physical(logicalHeight);
  MemoryDc memory(dc_);
  // Compatible with the target, not with the memory DC, which would give a monochrome bitmap.
  GdiObject<HBITMAP> frame(CreateCompatibleBitmap(dc_, width, height));
  if (!memory || !frame) return;
  Selection selected(memory.get(), frame.get());
  GdiCanvas offscreen(instance_, memory.get(), dpi_);
  painter.paint(offscreen);
  BitBlt(dc_, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}
