// The software canvas: GDI's Rectangle, LineTo, BitBlt and DrawText rules on a pixel buffer.
#include "platform/soft/SoftCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/soft/Bitmap.h"
#include "platform/soft/TextRenderer.h"

namespace {

using std::int64_t;

// Exact arithmetic for line positions far outside the canvas, where 64 bits could overflow.
__extension__ using Int128 = __int128;

// Index of the first pixel of `row` in a buffer `width` pixels wide.
std::size_t rowStart(int width, int row) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(row);
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

SoftCanvas::SoftCanvas(const SoftCanvas& other) { *this = other; }

SoftCanvas& SoftCanvas::operator=(const SoftCanvas& other) {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  owned_.assign(other.pixels_.begin(), other.pixels_.end());
  pixels_ = owned_;
  bitmaps_ = other.bitmaps_;
  text_ = other.text_;
  clip_ = other.clip_;
  uncleared_ = other.uncleared_;
  unclearedCount_ = other.unclearedCount_;
  dotInsets_ = other.dotInsets_;
  dotWidth_ = other.dotWidth_;
  return *this;
}

SoftCanvas::SoftCanvas(SoftCanvas&& other) noexcept { *this = std::move(other); }

SoftCanvas& SoftCanvas::operator=(SoftCanvas&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  // A moved vector keeps its buffer, so a view of the owned pixels stays valid.
  owned_ = std::move(other.owned_);
  pixels_ = other.pixels_;
  other.pixels_ = {};
  other.width_ = 0;
  other.height_ = 0;
  bitmaps_ = other.bitmaps_;
  text_ = other.text_;
  clip_ = other.clip_;
  uncleared_ = other.uncleared_;
  unclearedCount_ = other.unclearedCount_;
  dotInsets_ = std::move(other.dotInsets_);
  dotWidth_ = other.dotWidth_;
  return *this;
}

void SoftCanvas::resize(int width, int height) { resize(width, height, {}); }

void SoftCanvas::resize(int width, int height, std::span<std::uint32_t> storage) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  const std::size_t count = rowStart(width_, height_);  // width x height pixels
  if (storage.size() >= count && count > 0) {
    owned_ = {};
    pixels_ = storage.first(count);
    std::fill(pixels_.begin(), pixels_.end(), 0u);
  } else {
    owned_.assign(count, 0);
    pixels_ = owned_;
  }
  clip_ = {0, 0, width_, height_};
  unclearedCount_ = 0;
}

std::uint32_t SoftCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[rowStart(width_, y) + static_cast<std::size_t>(x)];
}

void SoftCanvas::fill(std::uint32_t rgb) {
  const Rect saved = clip_;
  clip_ = {0, 0, width_, height_};
  fillArea(0, 0, width_, height_, rgb);
  clip_ = saved;
}

std::uint32_t SoftCanvas::toRgb(Colour colour) {
  const auto value = static_cast<std::uint32_t>(colour);
  return ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
}

void SoftCanvas::fillArea(int64_t left, int64_t top, int64_t right, int64_t bottom,
                          std::uint32_t rgb) {
  left = std::max<int64_t>(left, clip_.left);
  top = std::max<int64_t>(top, clip_.top);
  right = std::min<int64_t>(right, clip_.right);
  bottom = std::min<int64_t>(bottom, clip_.bottom);
  if (left >= right || top >= bottom) return;
  // Plain fill loops are not vectorised at -O2, so the first row is filled by doubling
  // copies and the other rows are copies of it: whole frames then cost about one memcpy.
  const auto count = static_cast<std::size_t>(right - left);
  std::uint32_t* first = pixels_.data() + rowStart(width_, static_cast<int>(top)) + left;
  if (count == 1) {  // vertical lines: a call per pixel would cost more than the pixel
    for (auto y = static_cast<int>(top); y < bottom; ++y) {
      pixels_[rowStart(width_, y) + static_cast<std::size_t>(left)] = rgb;
    }
    return;
  }
  if (rgb == 0) {
    std::memset(first, 0, count * sizeof(std::uint32_t));
  } else {
    first[0] = rgb;
    for (std::size_t done = 1; done < count; done *= 2) {
      std::memcpy(first + done, first, std::min(done, count - done) * sizeof(std::uint32_t));
    }
  }
  for (auto y = static_cast<int>(top) + 1; y < bottom; ++y) {
    std::memcpy(pixels_.data() + rowStart(width_, y) + left, first, count * sizeof(std::uint32_t));
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
  coverFrame({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
              static_cast<int>(bottom)});
  const auto count = static_cast<std::size_t>(right - left);
  for (int64_t row = top; row < bottom; ++row) {
    const auto source = static_cast<std::size_t>(row - y) * static_cast<std::size_t>(bitmap->width) +
                        static_cast<std::size_t>(left - x);
    std::copy_n(bitmap->pixels.begin() + static_cast<std::ptrdiff_t>(source), count,
                pixels_.begin() + static_cast<std::ptrdiff_t>(
                                      rowStart(width_, static_cast<int>(row)) +
                                      static_cast<std::size_t>(left)));
  }
}

void SoftCanvas::rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) {
  // GDI orders the corners, and an area without width or height draws nothing.
  const int left = std::min(area.left, area.right);
  const int right = std::max(area.left, area.right);
  const int top = std::min(area.top, area.bottom);
  const int bottom = std::max(area.top, area.bottom);
  if (left == right || top == bottom) return;
  settleFrame();
  // The pen's path runs through the outermost pixels, (left, top) to (right - 1, bottom - 1).
  // The brush fills inside that path and the pen is drawn over it: a width-1 pen covers the
  // outer ring, a wider one is centred on the path.
  if (brush) fillArea(left, top, int64_t{right} - 1, int64_t{bottom} - 1, toRgb(*brush));
  const std::uint32_t rgb = toRgb(pen.colour);
  const int lastX = static_cast<int>(int64_t{right} - 1);
  const int lastY = static_cast<int>(int64_t{bottom} - 1);
  if (pen.width <= 1) {
    fillArea(left, top, right, int64_t{top} + 1, rgb);
    fillArea(left, lastY, right, bottom, rgb);
    fillArea(left, top, int64_t{left} + 1, bottom, rgb);
    fillArea(lastX, top, right, bottom, rgb);
    return;
  }
  // GDI's corner order: from the top-right corner anticlockwise.
  const Point corners[4] = {{lastX, top}, {left, top}, {left, lastY}, {lastX, lastY}};
  wideStroke(corners, 4, true, pen.width, rgb);
}

void SoftCanvas::line(Point from, Point to, const Pen& pen) {
  settleFrame();
  if (pen.width > 1) {
    const Point points[2] = {from, to};
    wideStroke(points, 2, false, pen.width, toRgb(pen.colour));
  } else {
    cosmeticLine(from, to, toRgb(pen.colour));
  }
}

// GDI's Bresenham line: `length` pixels along the major axis, the end point left out. The
// minor-axis offset of pixel k is floor((2k·minor + length + bias − 1) / (2·length)); the bias
// makes a line and its reverse cover the same pixels. The closed form lets the loop start at
// the first pixel inside the clip, so far-away end points cost nothing.
void SoftCanvas::cosmeticLine(Point from, Point to, std::uint32_t rgb) {
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    const int64_t step = dx > 0 ? 0 : 1;  // includes `from`, leaves out `to`
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
  // Octants counted clockwise from +x (y points down): 3, 5, 6 and 8 take the bias.
  const bool bias = dy > 0 ? (dx < 0 && !xMajor) : (dx < 0 || xMajor);
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
      pixels_[rowStart(width_, static_cast<int>(y)) + static_cast<std::size_t>(x)] = rgb;
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

void SoftCanvas::wideStroke(const Point* points, int count, bool closed, int width,
                            std::uint32_t rgb) {
  // Beyond this GDI cannot build the pen's region either; the outline is then not drawn.
  constexpr int kMaxPenWidth = 4096;
  if (width > kMaxPenWidth) return;
  // Repeated points at either end do not count.
  while (count > 2 && points[0] == points[1]) {
    ++points;
    --count;
  }
  while (count > 2 && points[count - 1] == points[count - 2]) --count;
  if (!closed) {
    roundDot(points[0], width, rgb);
    roundDot(points[count - 1], width, rgb);
  }
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) {
    const Point from = points[i];
    const Point to = points[(i + 1) % count];
    wideSegment(from, to, width, rgb);
    // Round joins where segments meet: after every drawn middle segment, and at both ends of
    // the last one of a closed path.
    const bool last = i == segments - 1;
    if (i > 0 && (last || from != to)) roundDot(from, width, rgb);
    if (last && closed) roundDot(to, width, rgb);
  }
}

// A segment's body without its ends: axis-aligned ones are w pixels thick, w / 2 of them
// above (left of) the path, and cover [min, max) along it.
void SoftCanvas::wideSegment(Point from, Point to, int width, std::uint32_t rgb) {
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    const int64_t top = int64_t{from.y} - width / 2;
    fillArea(std::min(from.x, to.x), top, std::max(from.x, to.x), top + width, rgb);
    return;
  }
  if (dx == 0) {
    const int64_t left = int64_t{from.x} - width / 2;
    fillArea(left, std::min(from.y, to.y), left + width, std::max(from.y, to.y), rgb);
    return;
  }
  // A slanted body is the parallelogram whose sides are the path moved half the width
  // either way, rounded to whole pixels as GDI rounds them.
  const auto roundAway = [](double value) {
    return static_cast<double>(static_cast<int64_t>(value > 0 ? value + 0.5 : value - 0.5));
  };
  const double length = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double widthX = width * static_cast<double>(std::abs(dy)) / length;
  const double widthY = width * static_cast<double>(std::abs(dx)) / length;
  double narrowX = roundAway(widthX / 2);
  double narrowY = roundAway(widthY / 2);
  double wideX = roundAway((widthX + 1) / 2);
  double wideY = roundAway((widthY + 1) / 2);
  if (dx < 0) {
    wideY = -wideY;
    narrowY = -narrowY;
  }
  if (dy < 0) {
    std::swap(narrowX, wideX);
    std::swap(narrowY, wideY);
    wideX = -wideX;
    narrowX = -narrowX;
  }
  const double xs[4] = {from.x - narrowX, from.x + wideX, to.x + wideX, to.x - narrowX};
  const double ys[4] = {from.y + narrowY, from.y - wideY, to.y - wideY, to.y + narrowY};
  fillPolygon(xs, ys, rgb);
}

// Fills a convex quadrilateral, sampling each pixel at its integer coordinates; edges on
// the left and top are inside, those on the right and bottom outside.
void SoftCanvas::fillPolygon(const double (&xs)[4], const double (&ys)[4], std::uint32_t rgb) {
  const auto [lowY, highY] = std::minmax({ys[0], ys[1], ys[2], ys[3]});
  const int64_t top = std::max<int64_t>(clip_.top, static_cast<int64_t>(std::ceil(lowY)));
  const int64_t bottom = std::min<int64_t>(clip_.bottom, static_cast<int64_t>(std::ceil(highY)));
  for (int64_t y = top; y < bottom; ++y) {
    const double sample = static_cast<double>(y);
    double left = HUGE_VAL;
    double right = -HUGE_VAL;
    for (int i = 0; i < 4; ++i) {
      const double y0 = ys[i];
      const double y1 = ys[(i + 1) % 4];
      if (y0 == y1 || sample < std::min(y0, y1) || sample >= std::max(y0, y1)) continue;
      const double x = xs[i] + (sample - y0) * (xs[(i + 1) % 4] - xs[i]) / (y1 - y0);
      left = std::min(left, x);
      right = std::max(right, x);
    }
    if (left < right) {
      fillArea(static_cast<int64_t>(std::ceil(left)), y, static_cast<int64_t>(std::ceil(right)),
               y + 1, rgb);
    }
  }
}

// GDI's round cap and join: the elliptic region of a w x w box starting w / 2 up and left
// of the point, traced with a midpoint ellipse (Zingl's algorithm) whose rows are inset from
// the box's sides.
void SoftCanvas::roundDot(Point centre, int width, std::uint32_t rgb) {
  const int64_t boxLeft = int64_t{centre.x} - width / 2;
  const int64_t boxTop = int64_t{centre.y} - width / 2;
  if (dotWidth_ != width) {
    dotWidth_ = width;
    dotInsets_.assign(static_cast<std::size_t>(width), width);  // rows never reached: empty
    const int64_t a = width - 1;
    int64_t stepX = 4 * a * a * (1 - a);
    int64_t stepY = 4 * a * a * (1 + a % 2);
    int64_t error = stepX + stepY + a * a * (a % 2);
    int64_t x = 0;
    int64_t row = width / 2;
    dotInsets_[static_cast<std::size_t>(row)] = 0;
    while (x <= width / 2) {
      const int64_t twice = 2 * error;
      if (twice >= stepX) {
        ++x;
        stepX += 8 * a * a;
        error += stepX;
      }
      if (twice <= stepY) {
        ++row;
        stepY += 8 * a * a;
        error += stepY;
        if (row < width) dotInsets_[static_cast<std::size_t>(row)] = static_cast<int>(x);
      }
    }
    for (int i = 0; i < width / 2; ++i) {
      dotInsets_[static_cast<std::size_t>(i)] = dotInsets_[static_cast<std::size_t>(width - 1 - i)];
    }
  }
  for (int i = 0; i < width; ++i) {
    const int inset = dotInsets_[static_cast<std::size_t>(i)];
    fillArea(boxLeft + inset, boxTop + i, boxLeft + width - inset, boxTop + i + 1, rgb);
  }
}

void SoftCanvas::text(const Rect& area, std::string_view text, const Font& font, Colour colour) {
  if (text_ == nullptr || text.empty()) return;
  // Without DT_NOCLIP, DrawText clips to its rectangle, which ExtTextOut puts in order.
  const Rect clip{std::max(clip_.left, std::min(area.left, area.right)),
                  std::max(clip_.top, std::min(area.top, area.bottom)),
                  std::min(clip_.right, std::max(area.left, area.right)),
                  std::min(clip_.bottom, std::max(area.top, area.bottom))};
  if (clip.left >= clip.right || clip.top >= clip.bottom) return;
  settleFrame();
  text_->draw({pixels_, width_, height_}, clip, area, text, font, toRgb(colour));
}

void SoftCanvas::settleFrame() {
  for (int i = 0; i < unclearedCount_; ++i) {
    const Rect& part = uncleared_[static_cast<std::size_t>(i)];
    fillArea(part.left, part.top, part.right, part.bottom, 0);
  }
  unclearedCount_ = 0;
}

// Takes `written` out of the parts still to be blackened: each part it overlaps leaves up to
// four strips (above, below, left, right of it).
void SoftCanvas::coverFrame(const Rect& written) {
  std::array<Rect, 4 * kMaxUncleared> left{};
  int count = 0;
  for (int i = 0; i < unclearedCount_; ++i) {
    const Rect& part = uncleared_[static_cast<std::size_t>(i)];
    const int top = std::max(part.top, written.top);
    const int bottom = std::min(part.bottom, written.bottom);
    if (written.left >= part.right || written.right <= part.left || top >= bottom) {
      left[static_cast<std::size_t>(count++)] = part;
      continue;
    }
    const Rect strips[4] = {{part.left, part.top, part.right, top},
                            {part.left, bottom, part.right, part.bottom},
                            {part.left, top, written.left, bottom},
                            {written.right, top, part.right, bottom}};
    for (const Rect& strip : strips) {
      if (strip.left < strip.right && strip.top < strip.bottom) {
        left[static_cast<std::size_t>(count++)] = strip;
      }
    }
  }
  if (count > kMaxUncleared) {
    settleFrame();  // too fragmented to track: blacken what is left now
    return;
  }
  std::copy_n(left.begin(), count, uncleared_.begin());
  unclearedCount_ = count;
}

// Painting straight into this canvas, limited to the frame's area and starting from black,
// leaves exactly the pixels a fresh off-screen bitmap copied to (0, 0) would, without the
// cost of a second frame and a copy. Nothing shows this canvas while the painter runs.
void SoftCanvas::paintOffscreen(int width, int height, Painter& painter) {
  settleFrame();  // an enclosing frame must be black before part of it is painted over
  const Rect saved = clip_;
  clip_.right = std::clamp(width, clip_.left, clip_.right);
  clip_.bottom = std::clamp(height, clip_.top, clip_.bottom);
  if (clip_.left < clip_.right && clip_.top < clip_.bottom) {
    uncleared_[0] = clip_;
    unclearedCount_ = 1;
  }
  painter.paint(*this);
  settleFrame();
  clip_ = saved;
}
