// Clipped fills of a canvas's pixels.
#include "gfx/Surface.h"

#include <algorithm>
#include <cstring>

namespace {

// Floor and ceiling division of a clip edge (never negative) by a positive scale.
int down(int value, int scale) { return value / scale; }
int up(int value, int scale) { return value / scale + (value % scale != 0 ? 1 : 0); }

}  // namespace

Surface::Surface(std::span<std::uint32_t> pixels, int width, int height, const Rect& clip,
                 int scale)
    : pixels_(pixels), width_(width), height_(height), clip_(clip), scale_(std::max(scale, 1)) {
  logicalClip_ = {down(clip.left, scale_), down(clip.top, scale_), up(clip.right, scale_),
                  up(clip.bottom, scale_)};
}

void Surface::fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                   std::uint32_t rgb) {
  if (scale_ == 1) {
    fillPhysical(left, top, right, bottom, rgb);
    return;
  }
  // Held to the logical clip first, so that the products below stay small.
  left = std::max<std::int64_t>(left, logicalClip_.left);
  top = std::max<std::int64_t>(top, logicalClip_.top);
  right = std::min<std::int64_t>(right, logicalClip_.right);
  bottom = std::min<std::int64_t>(bottom, logicalClip_.bottom);
  if (left >= right || top >= bottom) return;
  fillPhysical(left * scale_, top * scale_, right * scale_, bottom * scale_, rgb);
}

void Surface::fillPhysical(std::int64_t left, std::int64_t top, std::int64_t right,
                           std::int64_t bottom, std::uint32_t rgb) {
  left = std::max<std::int64_t>(left, clip_.left);
  top = std::max<std::int64_t>(top, clip_.top);
  right = std::min<std::int64_t>(right, clip_.right);
  bottom = std::min<std::int64_t>(bottom, clip_.bottom);
  if (left >= right || top >= bottom) return;
  // Plain fill loops are not vectorised at -O2, so the first row is filled by doubling
  // copies and the other rows are copies of it: whole frames then cost about one memcpy.
  const auto count = static_cast<std::size_t>(right - left);
  std::uint32_t* first = pixels_.data() + rowStart(static_cast<int>(top)) + left;
  if (count == 1) {  // vertical lines: a call per pixel would cost more than the pixel
    for (auto y = static_cast<int>(top); y < bottom; ++y) {
      pixels_[rowStart(y) + static_cast<std::size_t>(left)] = rgb;
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
    std::memcpy(pixels_.data() + rowStart(y) + left, first, count * sizeof(std::uint32_t));
  }
}
