// The size, scale and pixel format of the Wayland window's buffers: pure arithmetic.
#include "hosts/wayland/BufferLayout.h"

#include <algorithm>

#include "gfx/SoftCanvas.h"

namespace {

constexpr int kWhole = 120;

int clampFactor(int factor) { return std::clamp(factor, 1, SoftCanvas::kMaxScale); }

Size times(Size size, int factor) { return {size.width * factor, size.height * factor}; }

}  // namespace

BufferLayout chooseBufferLayout(Size logical, int preferred120, int outputScale) {
  BufferLayout layout;
  if (preferred120 > 0) {
    layout.factor = clampFactor((preferred120 + kWhole - 1) / kWhole);
    // A whole preference the canvas can draw needs no viewport.
    const bool whole = layout.factor * kWhole == preferred120;
    layout.bufferScale = whole ? layout.factor : 1;
    if (!whole) layout.destination = logical;
  } else {
    layout.factor = clampFactor(outputScale);
    layout.bufferScale = layout.factor;
  }
  layout.buffer = times(logical, layout.factor);
  return layout;
}

ShmFormat formatFor(std::uint8_t alpha) {
  return alpha == 0xFF ? ShmFormat::kXrgb8888 : ShmFormat::kArgb8888;
}

void convertPixels(std::span<const std::uint32_t> from, std::uint32_t* to, std::uint8_t alpha) {
  if (alpha == 0xFF) {
    // XRGB ignores the top byte, but renderers that copy it into an ARGB frame (weston's pixman
    // one) would leave the window transparent in screenshots and to anything reading alpha.
    std::transform(from.begin(), from.end(), to, [](std::uint32_t word) { return word | kOpaque; });
    return;
  }
  const std::uint32_t a = alpha;
  // Rounded to the nearest: c * a / 255.
  const auto channel = [a](std::uint32_t word, int shift) {
    const std::uint32_t c = (word >> shift) & 0xFFu;
    const std::uint32_t product = c * a + 128;
    return ((product + (product >> 8)) >> 8) << shift;
  };
  for (std::size_t i = 0; i < from.size(); ++i) {
    const std::uint32_t word = from[i];
    to[i] = (a << 24) | channel(word, 16) | channel(word, 8) | channel(word, 0);
  }
}
