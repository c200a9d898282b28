// Logical (96-dpi) pixels to a window's physical pixels at its DPI, and back.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

namespace dpi {

// The DPI at which a logical pixel is one physical pixel.
inline constexpr int kLogical = 96;

// Floor division for a positive divisor, so that negative positions round the same way.
constexpr std::int64_t floorDivide(std::int64_t value, std::int64_t divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

constexpr int clampToInt(std::int64_t value) {
  return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

// The physical coordinate where logical coordinate `logical` begins: logical x dpi / 96 rounded
// half up, as MulDiv rounds positive values. Logical pixel x covers the physical pixels from
// toPhysical(x) up to toPhysical(x + 1).
constexpr int toPhysical(int logical, int dpi) {
  return clampToInt(floorDivide(std::int64_t{logical} * dpi * 2 + kLogical, kLogical * 2));
}

// The logical pixel whose physical span holds `physical`: the inverse of toPhysical, so a click
// anywhere on a logical pixel's block acts on that pixel, and a physical size made by
// toPhysical gives its logical size back. `dpi` is at least 96.
constexpr int toLogical(int physical, int dpi) {
  // The largest x with toPhysical(x) <= physical, that is x * dpi < (physical + 1/2) * 96.
  return clampToInt(floorDivide((std::int64_t{physical} * 2 + 1) * kLogical - 1, std::int64_t{dpi} * 2));
}

// A line one logical pixel wide, in physical pixels: never thinner than one.
constexpr int lineWidth(int dpi) { return std::max(1, toPhysical(1, dpi)); }

// Bitmaps are enlarged by whole pixel blocks where each logical pixel has as many physical ones.
constexpr bool isWholeFactor(int dpi) { return dpi % kLogical == 0; }

}  // namespace dpi
