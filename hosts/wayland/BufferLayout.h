// The size, scale and pixel format of the Wayland window's buffers: pure arithmetic.
#pragma once

#include <cstdint>
#include <span>

#include "platform/host.h"

// How a surface of a given logical size is drawn and shown:
// - with a whole scale s (wl_output.scale, or a fractional preference that is whole), the buffer
//   is s times the logical size and wl_surface.set_buffer_scale(s) tells the compositor so;
// - with a fractional preference f (wp_fractional_scale_v1, in 120ths), the canvas draws at the
//   next whole factor ceil(f) and the viewport's destination, the logical size, lets the
//   compositor scale the buffer down by ceil(f) / f: a whole-factor picture, scaled down once.
// The factor is never above SoftCanvas::kMaxScale, and the game sees logical pixels throughout.
struct BufferLayout {
  // The canvas's scale: physical pixels per logical one.
  int factor = 1;
  // What wl_surface.set_buffer_scale is given: the factor, or 1 under a viewport.
  int bufferScale = 1;
  Size buffer;
  // The viewport's destination; 0 x 0 when no viewport is wanted (it is unset then).
  Size destination;

  friend bool operator==(const BufferLayout&, const BufferLayout&) = default;
};

// `preferred120`: the fractional preference, 0 when there is none (no such protocol, or no
// viewporter to serve it). `outputScale`: the largest wl_output.scale of the outputs the surface
// is on.
BufferLayout chooseBufferLayout(Size logical, int preferred120, int outputScale);

// wl_shm's format codes, kept apart from Wayland's headers.
enum class ShmFormat : std::uint32_t { kArgb8888 = 0, kXrgb8888 = 1 };

// An opaque window needs no alpha channel; a translucent one carries its alpha in every pixel.
ShmFormat formatFor(std::uint8_t alpha);

// The top byte of an opaque pixel, in either format.
constexpr std::uint32_t kOpaque = 0xFF000000u;

// The canvas's 0x00RRGGBB words into the buffer's format: opaque with kOpaque added, translucent
// with `alpha` in the top byte and each colour premultiplied by it, as wl_shm's ARGB8888 wants.
// `to` holds at least as many words as `from`.
void convertPixels(std::span<const std::uint32_t> from, std::uint32_t* to, std::uint8_t alpha);
