// The software canvas: GDI's Rectangle, LineTo, BitBlt and DrawText rules on a pixel buffer.
#include "gfx/SoftCanvas.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "gfx/Bitmap.h"
#include "gfx/TextRenderer.h"

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

// GDI's Bresenham line: `length` pixels along the major axis, the end point left out. The
// minor-axis offset of pixel k is floor((2k·minor + length + bias − 1) / (2·length)); the bias
// makes a line and its reverse cover the same pixels. The closed form lets the loop start at
// the first pixel inside the clip, so far-away end points cost nothing.
void cosmeticLine(Surface& surface, Point from, Point to, std::uint32_t rgb) {
  const Rect& clip = surface.clip();
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    const int64_t step = dx > 0 ? 0 : 1;  // includes `from`, leaves out `to`
    surface.fill(std::min<int64_t>(from.x, to.x) + step, from.y,
                 std::max<int64_t>(from.x, to.x) + step, int64_t{from.y} + 1, rgb);
    return;
  }
  if (dx == 0) {
    const int64_t step = dy > 0 ? 0 : 1;
    surface.fill(from.x, std::min<int64_t>(from.y, to.y) + step, int64_t{from.x} + 1,
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
  const int64_t majorLow = xMajor ? clip.left : clip.top;
  const int64_t majorHigh = xMajor ? clip.right : clip.bottom;
  const int64_t minorLow = xMajor ? clip.top : clip.left;
  const int64_t minorHigh = xMajor ? clip.bottom : clip.right;

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
      surface.set(x, y, rgb);
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

// Four pixels, for copies the compiler turns into vector instructions.
using Lanes __attribute__((vector_size(16))) = std::uint32_t;

// Writes `count` pixels, each pixel of `source` `scale` times, the first `skipped` times
// fewer (the clip cut the left of its block).
void enlargeRow(const std::uint32_t* source, int skipped, int scale, std::uint32_t* target,
                std::size_t count) {
  std::size_t written = 0;
  if (skipped != 0) {
    written = std::min(count, static_cast<std::size_t>(scale - skipped));
    std::fill_n(target, written, *source++);
  }
  const std::size_t blocks = (count - written) / static_cast<std::size_t>(scale);
  std::uint32_t* out = target + written;
  if (scale == 2) {
    // The usual scale, and a frame of 4 times the pixels: four source pixels at a time, each
    // doubled by a shuffle, so that the stores go 16 bytes at once.
    std::size_t i = 0;
    for (; i + 4 <= blocks; i += 4) {
      Lanes in;
      std::memcpy(&in, source + i, sizeof in);
      const Lanes low = __builtin_shufflevector(in, in, 0, 0, 1, 1);
      const Lanes high = __builtin_shufflevector(in, in, 2, 2, 3, 3);
      std::memcpy(out + 2 * i, &low, sizeof low);
      std::memcpy(out + 2 * i + 4, &high, sizeof high);
    }
    for (; i < blocks; ++i) out[2 * i] = out[2 * i + 1] = source[i];
  } else {
    for (std::size_t i = 0; i < blocks; ++i) {
      std::fill_n(out + i * static_cast<std::size_t>(scale), scale, source[i]);
    }
  }
  written += blocks * static_cast<std::size_t>(scale);
  if (written < count) std::fill_n(target + written, count - written, source[blocks]);
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
  scale_ = other.scale_;
  owned_.assign(other.pixels_.begin(), other.pixels_.end());
  pixels_ = owned_;
  bitmaps_ = other.bitmaps_;
  text_ = other.text_;
  clip_ = other.clip_;
  uncleared_ = other.uncleared_;
  unclearedCount_ = other.unclearedCount_;
  widePen_ = other.widePen_;
  return *this;
}

SoftCanvas::SoftCanvas(SoftCanvas&& other) noexcept { *this = std::move(other); }

SoftCanvas& SoftCanvas::operator=(SoftCanvas&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  scale_ = other.scale_;
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
  widePen_ = std::move(other.widePen_);
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

void SoftCanvas::moveTo(std::span<std::uint32_t> storage) { relocate(storage, true); }

void SoftCanvas::moveToDiscarding(std::span<std::uint32_t> storage) { relocate(storage, false); }

void SoftCanvas::relocate(std::span<std::uint32_t> storage, bool carry) {
  const std::size_t count = pixels_.size();
  if (storage.data() == pixels_.data()) return;
  if (storage.size() >= count && count > 0) {
    if (carry) std::copy(pixels_.begin(), pixels_.end(), storage.begin());
    owned_ = {};
    pixels_ = storage.first(count);
  } else if (pixels_.data() != owned_.data()) {
    if (carry) {
      owned_.assign(pixels_.begin(), pixels_.end());
    } else {
      owned_.assign(count, 0);
    }
    pixels_ = owned_;
  }
}

void SoftCanvas::setScale(int scale) { scale_ = std::clamp(scale, 1, kMaxScale); }

int SoftCanvas::physical(int logical) const {
  return static_cast<int>(std::clamp<int64_t>(int64_t{logical} * scale_, INT_MIN, INT_MAX));
}

Rect SoftCanvas::physical(const Rect& logical) const {
  return {physical(logical.left), physical(logical.top), physical(logical.right),
          physical(logical.bottom)};
}

std::uint32_t SoftCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[rowStart(width_, y) + static_cast<std::size_t>(x)];
}

void SoftCanvas::fill(std::uint32_t rgb) {
  unclearedCount_ = 0;
  Surface(pixels_, width_, height_, {0, 0, width_, height_}).fill(0, 0, width_, height_, rgb);
}

std::uint32_t SoftCanvas::toRgb(Colour colour) {
  const auto value = static_cast<std::uint32_t>(colour);
  return ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
}

void SoftCanvas::blit(int bitmapId, int x, int y, int width, int height) {
  if (bitmaps_ == nullptr) return;
  const BitmapView* bitmap = bitmaps_->find(bitmapId & 0xFFFF);
  if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) return;
  // A view with fewer pixels than its size claims gives only its complete rows.
  const int bitmapRows = static_cast<int>(std::min<std::size_t>(
      static_cast<std::size_t>(bitmap->height),
      bitmap->pixels.size() / static_cast<std::size_t>(bitmap->width)));
  // The copy never reaches past the bitmap, the requested size or the clip; each bitmap pixel
  // covers scale x scale physical ones.
  const int64_t s = scale_;
  const int64_t originX = int64_t{x} * s;
  const int64_t originY = int64_t{y} * s;
  const int64_t left = std::max<int64_t>(originX, clip_.left);
  const int64_t top = std::max<int64_t>(originY, clip_.top);
  const int64_t right = std::min(originX + int64_t{std::min(width, bitmap->width)} * s,
                                 int64_t{clip_.right});
  const int64_t bottom = std::min(originY + int64_t{std::min(height, bitmapRows)} * s,
                                  int64_t{clip_.bottom});
  if (left >= right || top >= bottom) return;
  coverFrame({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
              static_cast<int>(bottom)});
  const auto count = static_cast<std::size_t>(right - left);
  for (int64_t row = top; row < bottom; ++row) {
    std::uint32_t* target =
        pixels_.data() + rowStart(width_, static_cast<int>(row)) + static_cast<std::size_t>(left);
    if (s > 1 && row > top && (row - originY) % s != 0) {
      // The same bitmap row as the one just drawn.
      std::memcpy(target, target - width_, count * sizeof *target);
      continue;
    }
    const std::uint32_t* source =
        bitmap->pixels.data() +
        static_cast<std::size_t>((row - originY) / s) * static_cast<std::size_t>(bitmap->width) +
        static_cast<std::size_t>((left - originX) / s);
    if (s == 1) {
      std::copy_n(source, count, target);
      continue;
    }
    enlargeRow(source, static_cast<int>((left - originX) % s), static_cast<int>(s), target, count);
  }
}

void SoftCanvas::rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) {
  // GDI orders the corners, and an area without width or height draws nothing.
  const int left = std::min(area.left, area.right);
  const int right = std::max(area.left, area.right);
  const int top = std::min(area.top, area.bottom);
  const int bottom = std::max(area.top, area.bottom);
  if (left == right || top == bottom) return;
  Surface surface = drawing(scale_);
  // The pen's path runs through the outermost pixels, (left, top) to (right - 1, bottom - 1).
  // The brush fills inside that path and the pen is drawn over it: a width-1 pen covers the
  // outer ring, a wider one is centred on the path.
  if (brush) surface.fill(left, top, int64_t{right} - 1, int64_t{bottom} - 1, toRgb(*brush));
  const std::uint32_t rgb = toRgb(pen.colour);
  const int lastX = static_cast<int>(int64_t{right} - 1);
  const int lastY = static_cast<int>(int64_t{bottom} - 1);
  if (pen.width <= 1) {
    surface.fill(left, top, right, int64_t{top} + 1, rgb);
    surface.fill(left, lastY, right, bottom, rgb);
    surface.fill(left, top, int64_t{left} + 1, bottom, rgb);
    surface.fill(lastX, top, right, bottom, rgb);
    return;
  }
  // GDI's corner order: from the top-right corner anticlockwise.
  const Point corners[4] = {{lastX, top}, {left, top}, {left, lastY}, {lastX, lastY}};
  widePen_.stroke(surface, corners, true, pen.width, rgb);
}

void SoftCanvas::line(Point from, Point to, const Pen& pen) {
  Surface surface = drawing(scale_);
  if (pen.width > 1) {
    const Point points[2] = {from, to};
    widePen_.stroke(surface, points, false, pen.width, toRgb(pen.colour));
  } else {
    cosmeticLine(surface, from, to, toRgb(pen.colour));
  }
}

void SoftCanvas::text(const Rect& logicalArea, std::string_view text, const Font& font,
                      Colour colour) {
  if (text_ == nullptr || text.empty()) return;
  const Rect area = physical(logicalArea);
  // Without DT_NOCLIP, DrawText clips to its rectangle, which ExtTextOut puts in order.
  const Rect clip{std::max(clip_.left, std::min(area.left, area.right)),
                  std::max(clip_.top, std::min(area.top, area.bottom)),
                  std::min(clip_.right, std::max(area.left, area.right)),
                  std::min(clip_.bottom, std::max(area.top, area.bottom))};
  if (clip.left >= clip.right || clip.top >= clip.bottom) return;
  const Surface surface = drawing();
  text_->draw({surface.pixels(), surface.width(), surface.height()}, clip, area, text, font,
              toRgb(colour), scale_);
}

Surface SoftCanvas::drawing(int scale) {
  settleFrame();
  return {pixels_, width_, height_, clip_, scale};
}

void SoftCanvas::settleFrame() {
  Surface frame(pixels_, width_, height_, clip_);
  for (int i = 0; i < unclearedCount_; ++i) {
    const Rect& part = uncleared_[static_cast<std::size_t>(i)];
    frame.fill(part.left, part.top, part.right, part.bottom, 0);
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
  const ClipScope frame(*this, {clip_.left, clip_.top,
                                std::clamp(physical(width), clip_.left, clip_.right),
                                std::clamp(physical(height), clip_.top, clip_.bottom)});
  if (clip_.left < clip_.right && clip_.top < clip_.bottom) {
    uncleared_[0] = clip_;
    unclearedCount_ = 1;
  }
  painter.paint(*this);
  settleFrame();
}
