// GDI's geometric pen wider than one pixel, rasterised as GDI builds the pen's region.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

class Surface;

// Strokes a path with a solid pen w pixels wide: each segment's body, round caps at open ends
// and round joins at corners. Keeps the rows of the last round cap it traced, so a repeated
// pen width needs no allocation.
class WidePen {
 public:
  // Beyond this GDI cannot build the pen's region either; such a stroke draws nothing.
  static constexpr int kMaxWidth = 4096;

  // Strokes the path through `points`, back to the first one when `closed`, with a pen
  // `width` pixels wide (2 or more; thinner pens are cosmetic lines). Repeated points at
  // either end of the path do not count.
  void stroke(Surface& surface, std::span<const Point> points, bool closed, int width,
              std::uint32_t rgb);

 private:
  // A segment's body without its ends.
  static void segment(Surface& surface, Point from, Point to, int width, std::uint32_t rgb);
  // Fills a convex quadrilateral, sampling each pixel at its integer coordinates.
  static void fillQuadrilateral(Surface& surface, const double (&xs)[4], const double (&ys)[4],
                                std::uint32_t rgb);
  // A round cap or join centred on `centre`.
  void roundDot(Surface& surface, Point centre, int width, std::uint32_t rgb);

  // Per row of a round cap of width dotWidth_, how far it is inset from the w x w square.
  std::vector<int> dotInsets_;
  int dotWidth_ = 0;
};
