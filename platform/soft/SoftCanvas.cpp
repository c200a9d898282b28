// The software canvas: GDI's Rectangle, LineTo, BitBlt and DrawText rules on a pixel buffer.
#include "platform/soft/SoftCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/soft/Bitmap.h"
#include "platform/soft/TextRenderer.h"

namespace {

using std::int64_t;

// Exact arithmetic for line positions far outside the canvas, where 64 bits could overflow.
__extension__ using Int128 = __int128;

std::size_t area(int width, int height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Floor division for a positive divisor.
Int128 floorDiv(Int128 value, Int128 divisor) {
  Int128 quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

}  // namespace

SoftCanvas::SoftCanvas(int width, int height, const BitmapSource* bitmaps, TextRenderer* text)
    : bitmaps_(bitmaps), text_(text) {
  resize(width, height);
}

void SoftCanvas::resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(area(width_, height_), 0);
  clip_ = {0, 0, width_, height_};
}

std::uint32_t SoftCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[area(width_, y) + static_cast<std::size_t>(x)];
}

void SoftCanvas::fill(std::uint32_t rgb) { std::fill(pixels_.begin(), pixels_.end(), rgb); }

std::uint32_t SoftCanvas::toRgb(Colour colour) {
  const auto value = static_cast<std::uint32_t>(colour);
  return ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
}

void SoftCanvas::fillArea(int64_t left, int64_t top, int64_t right, int64_t bottom,
                          std::uint32_t rgb) {
  const int x0 = static_cast<int>(std::max<int64_t>(left, clip_.left));
  const int x1 = static_cast<int>(std::min<int64_t>(right, clip_.right));
  const int y0 = static_cast<int>(std::max<int64_t>(top, clip_.top));
  const int y1 = static_cast<int>(std::min<int64_t>(bottom, clip_.bottom));
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(area(width_, y));
    std::fill(row + x0, row + x1, rgb);
  }
}

void SoftCanvas::blit(int bitmapId, int x, int y, int width, int height) {
  if (bitmaps_ == nullptr) return;
  const BitmapView* bitmap = bitmaps_->find(bitmapId & 0xFFFF);
  if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) return;
  // A view with fewer pixels than its size claims gives only its complete rows.
  const int bitmapRows = static_cast<int>(std::min<std::size_t>(
      static_cast<std::size_t>(bitmap->height),
      bitmap->pixels.size() / static_cast<std::size_t>(bitmap->width)));
  // The copy never reaches past the bitmap, the requested size or the clip.
  const int64_t left = std::max<int64_t>(x, clip_.left);
  const int64_t top = std::max<int64_t>(y, clip_.top);
  const int64_t right = std::min({int64_t{x} + std::min(width, bitmap->width),
                                  int64_t{clip_.right}});
  const int64_t bottom = std::min({int64_t{y} + std::min(height, bitmapRows),
                                   int64_t{clip_.bottom}});
  if (left >= right || top >= bottom) return;
  const auto count = static_cast<std::size_t>(right - left);
  for (int64_t row = top; row < bottom; ++row) {
    const auto source = static_cast<std::size_t>(row - y) * static_cast<std::size_t>(bitmap->width) +
                        static_cast<std::size_t>(left - x);
    std::copy_n(bitmap->pixels.begin() + static_cast<std::ptrdiff_t>(source), count,
                pixels_.begin() + static_cast<std::ptrdiff_t>(
                                      area(width_, static_cast<int>(row)) +
                                      static_cast<std::size_t>(left)));
  }
}

void SoftCanvas::rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) {
  // GDI orders the corners, and an area without width or height draws nothing.
  const int64_t left = std::min(area.left, area.right);
  const int64_t right = std::max(area.left, area.right);
  const int64_t top = std::min(area.top, area.bottom);
  const int64_t bottom = std::max(area.top, area.bottom);
  if (left == right || top == bottom) return;
  // The pen runs along the outermost pixels (l, t) to (r - 1, b - 1), centred on that path:
  // a width-1 pen covers exactly the outer ring, a wider one spreads to both sides.
  const int64_t penWidth = std::max(pen.width, 1);
  const int64_t outerLeft = left - penWidth / 2;
  const int64_t outerTop = top - penWidth / 2;
  const int64_t outerRight = right - 1 - penWidth / 2 + penWidth;
  const int64_t outerBottom = bottom - 1 - penWidth / 2 + penWidth;
  const int64_t innerLeft = outerLeft + penWidth;
  const int64_t innerTop = outerTop + penWidth;
  const int64_t innerRight = std::max(outerRight - penWidth, innerLeft);
  const int64_t innerBottom = std::max(outerBottom - penWidth, innerTop);
  const std::uint32_t penRgb = toRgb(pen.colour);
  fillArea(outerLeft, outerTop, outerRight, innerTop, penRgb);
  fillArea(outerLeft, innerBottom, outerRight, outerBottom, penRgb);
  fillArea(outerLeft, innerTop, innerLeft, innerBottom, penRgb);
  fillArea(innerRight, innerTop, outerRight, innerBottom, penRgb);
  if (brush) fillArea(innerLeft, innerTop, innerRight, innerBottom, toRgb(*brush));
}

void SoftCanvas::line(Point from, Point to, const Pen& pen) {
  if (pen.width > 1) {
    wideLine(from, to, pen.width, toRgb(pen.colour));
  } else {
    cosmeticLine(from, to, toRgb(pen.colour));
  }
}

// GDI's Bresenham line: `length` pixels along the major axis, the end point left out. The
// minor-axis step at pixel k is floor((2k·minor + length + bias − 1) / (2·length)), where the
// bias makes a line and its reverse cover the same pixels in the octants where GDI rounds the
// other way. The closed form lets us start at the first pixel inside the clip.
void SoftCanvas::cosmeticLine(Point from, Point to, std::uint32_t rgb) {
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    const int64_t step = dx > 0 ? 0 : 1;  // leaves out `to`, includes `from`
    fillArea(std::min<int64_t>(from.x, to.x) + step, from.y,
             std::max<int64_t>(from.x, to.x) + step, int64_t{from.y} + 1, rgb);
    return;
  }
  if (dx == 0) {
    const int64_t step = dy > 0 ? 0 : 1;
    fillArea(from.x, std::min<int64_t>(from.y, to.y) + step, int64_t{from.x} + 1,
             std::max<int64_t>(from.y, to.y) + step, rgb);
    return;
  }
  const bool xMajor = std::abs(dx) > std::abs(dy);
  // Octants 3, 5, 6 and 8 (counted from +x, y pointing down) round towards the start.
  const bool bias = dy > 0 ? (dx < 0 && !xMajor) : (dx < 0 ? xMajor : !xMajor);
  const int64_t length = xMajor ? std::abs(dx) : std::abs(dy);
  const int64_t minor = xMajor ? std::abs(dy) : std::abs(dx);
  const int64_t majorStart = xMajor ? from.x : from.y;
  const int64_t minorStart = xMajor ? from.y : from.x;
  const int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int64_t minorStep = (xMajor ? dy : dx) > 0 ? 1 : -1;
  const int64_t majorLow = xMajor ? clip_.left : clip_.top;
  const int64_t majorHigh = xMajor ? clip_.right : clip_.bottom;
  const int64_t minorLow = xMajor ? clip_.top : clip_.left;
  const int64_t minorHigh = xMajor ? clip_.bottom : clip_.right;

  // Pixels k in [first, last) have their major coordinate inside the clip.
  int64_t first = majorStep > 0 ? majorLow - majorStart : majorStart - (majorHigh - 1);
  int64_t last = majorStep > 0 ? majorHigh - majorStart : majorStart - majorLow + 1;
  first = std::max<int64_t>(first, 0);
  last = std::min(last, length);
  if (first >= last) return;

  const Int128 numerator = Int128{2} * first * minor + length + (bias ? 1 : 0) - 1;
  int64_t offset = static_cast<int64_t>(floorDiv(numerator, Int128{2} * length));
  int64_t remainder = static_cast<int64_t>(numerator - Int128{offset} * 2 * length);
  int64_t major = majorStart + majorStep * first;
  for (int64_t k = first; k < last; ++k) {
    const int64_t minorAt = minorStart + minorStep * offset;
    if (minorAt >= minorLow && minorAt < minorHigh) {
      const int64_t x = xMajor ? major : minorAt;
      const int64_t y = xMajor ? minorAt : major;
      pixels_[area(width_, static_cast<int>(y)) + static_cast<std::size_t>(x)] = rgb;
    } else if ((minorStep > 0) == (minorAt >= minorHigh)) {
      return;  // moving away from the clip: nothing further can be inside
    }
    major += majorStep;
    remainder += 2 * minor;
    if (remainder >= 2 * length) {
      remainder -= 2 * length;
      ++offset;
    }
  }
}

// A wide PS_SOLID pen has round caps: every pixel whose centre lies within width / 2 of the
// segment is covered, the end points included.
void SoftCanvas::wideLine(Point from, Point to, int width, std::uint32_t rgb) {
  const double radius = width / 2.0;
  const double ax = from.x;
  const double ay = from.y;
  const double bx = to.x;
  const double by = to.y;
  const double reach = radius + 1;
  const int64_t left = std::max<int64_t>(clip_.left, static_cast<int64_t>(std::min(ax, bx) - reach));
  const int64_t right =
      std::min<int64_t>(clip_.right, static_cast<int64_t>(std::max(ax, bx) + reach) + 1);
  const int64_t top = std::max<int64_t>(clip_.top, static_cast<int64_t>(std::min(ay, by) - reach));
  const int64_t bottom =
      std::min<int64_t>(clip_.bottom, static_cast<int64_t>(std::max(ay, by) + reach) + 1);
  const double lengthSquared = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
  for (int64_t y = top; y < bottom; ++y) {
    for (int64_t x = left; x < right; ++x) {
      const double px = static_cast<double>(x) - ax;
      const double py = static_cast<double>(y) - ay;
      double t = lengthSquared > 0 ? (px * (bx - ax) + py * (by - ay)) / lengthSquared : 0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = px - t * (bx - ax);
      const double ey = py - t * (by - ay);
      if (ex * ex + ey * ey <= radius * radius) {
        pixels_[area(width_, static_cast<int>(y)) + static_cast<std::size_t>(x)] = rgb;
      }
    }
  }
}

void SoftCanvas::text(const Rect& area, std::string_view text, const Font& font, Colour colour) {
  if (text_ == nullptr || text.empty()) return;
  // Without DT_NOCLIP, DrawText clips to its rectangle.
  const Rect clip{std::max(clip_.left, area.left), std::max(clip_.top, area.top),
                  std::min(clip_.right, area.right), std::min(clip_.bottom, area.bottom)};
  if (clip.left >= clip.right || clip.top >= clip.bottom) return;
  text_->draw({pixels_, width_, height_}, clip, area, text, font, toRgb(colour));
}

// Painting straight into this canvas, limited to the frame's area and starting from black,
// leaves exactly the pixels a fresh off-screen bitmap copied to (0, 0) would, without the
// cost of a second frame and a copy. Nothing shows this canvas while the painter runs.
void SoftCanvas::paintOffscreen(int width, int height, Painter& painter) {
  const Rect saved = clip_;
  clip_.right = std::clamp(width, clip_.left, clip_.right);
  clip_.bottom = std::clamp(height, clip_.top, clip_.bottom);
  fillArea(clip_.left, clip_.top, clip_.right, clip_.bottom, 0);
  painter.paint(*this);
  clip_ = saved;
}
