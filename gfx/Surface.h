// A canvas's pixels as one drawing call sees them: the buffer and the clip every write keeps to.
#pragma once

#include <cstdint>
#include <span>

#include "platform/canvas.h"

// A view: it owns nothing and lives no longer than the call that was handed it. Pixels are
// 0x00RRGGBB, rows top-down; the clip lies inside the buffer.
//
// A surface of a scale s above 1 is addressed in logical pixels, each an s x s block of the
// buffer: what a rasteriser draws on it is its scale-1 picture enlarged, pixel for pixel, so
// that a one-pixel line covers exactly the blocks of its scale-1 pixels. Its clip() is then the
// logical blocks the buffer's clip touches; writes still keep to the buffer's clip.
class Surface {
 public:
  Surface(std::span<std::uint32_t> pixels, int width, int height, const Rect& clip,
          int scale = 1);

  std::span<std::uint32_t> pixels() const { return pixels_; }
  int width() const { return width_; }
  int height() const { return height_; }
  // In the surface's own (logical) pixels.
  const Rect& clip() const { return scale_ == 1 ? clip_ : logicalClip_; }

  // Fills the part of [left, right) x [top, bottom) inside the clip; 64-bit so that edges
  // computed from extreme coordinates cannot overflow.
  void fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
            std::uint32_t rgb);
  // Sets one pixel the caller has found inside clip().
  void set(std::int64_t x, std::int64_t y, std::uint32_t rgb) {
    if (scale_ != 1) {
      fill(x, y, x + 1, y + 1, rgb);
      return;
    }
    pixels_[rowStart(static_cast<int>(y)) + static_cast<std::size_t>(x)] = rgb;
  }

 private:
  std::size_t rowStart(int row) const {
    return static_cast<std::size_t>(width_) * static_cast<std::size_t>(row);
  }

  // Fills physical pixels, clipped to clip_.
  void fillPhysical(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                    std::uint32_t rgb);

  std::span<std::uint32_t> pixels_;
  int width_ = 0;
  int height_ = 0;
  Rect clip_;
  int scale_ = 1;
  Rect logicalClip_;
};
