// The wide pen: segment bodies as parallelograms, caps and joins as GDI's round dots.
#include "gfx/WidePen.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "gfx/Rounding.h"
#include "gfx/Surface.h"

using std::int64_t;

void WidePen::stroke(Surface& surface, std::span<const Point> points, bool closed, int width,
                     std::uint32_t rgb) {
  if (width < 2 || width > kMaxWidth || points.empty()) return;
  while (points.size() > 2 && points[0] == points[1]) points = points.subspan(1);
  while (points.size() > 2 && points[points.size() - 1] == points[points.size() - 2]) {
    points = points.first(points.size() - 1);
  }
  const int count = static_cast<int>(points.size());
  if (!closed) {
    roundDot(surface, points.front(), width, rgb);
    roundDot(surface, points.back(), width, rgb);
  }
  const int segments = closed ? count : count - 1;
  for (int i = 0; i < segments; ++i) {
    const Point from = points[static_cast<std::size_t>(i)];
    const Point to = points[static_cast<std::size_t>((i + 1) % count)];
    segment(surface, from, to, width, rgb);
    // Round joins where segments meet: after every drawn middle segment, and at both ends of
    // the last one of a closed path.
    const bool last = i == segments - 1;
    if (i > 0 && (last || from != to)) roundDot(surface, from, width, rgb);
    if (last && closed) roundDot(surface, to, width, rgb);
  }
}

// Axis-aligned bodies are w pixels thick, w / 2 of them above (left of) the path, and cover
// [min, max) along it.
void WidePen::segment(Surface& surface, Point from, Point to, int width, std::uint32_t rgb) {
  const int64_t dx = int64_t{to.x} - from.x;
  const int64_t dy = int64_t{to.y} - from.y;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {
    const int64_t top = int64_t{from.y} - width / 2;
    surface.fill(std::min(from.x, to.x), top, std::max(from.x, to.x), top + width, rgb);
    return;
  }
  if (dx == 0) {
    const int64_t left = int64_t{from.x} - width / 2;
    surface.fill(left, std::min(from.y, to.y), left + width, std::max(from.y, to.y), rgb);
    return;
  }
  // A slanted body is the parallelogram whose sides are the path moved half the width
  // either way, rounded to whole pixels as GDI rounds them.
  const auto roundAway = [](double value) {
    return static_cast<double>(static_cast<int64_t>(value > 0 ? value + 0.5 : value - 0.5));
  };
  const double length = hypotenuse(static_cast<double>(dx), static_cast<double>(dy));
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
  fillQuadrilateral(surface, xs, ys, rgb);
}

// Edges on the left and top are inside, those on the right and bottom outside. Only the rows
// inside the clip are visited, so a path far outside it costs nothing.
void WidePen::fillQuadrilateral(Surface& surface, const double (&xs)[4], const double (&ys)[4],
                                std::uint32_t rgb) {
  const Rect& clip = surface.clip();
  const auto [lowY, highY] = std::minmax({ys[0], ys[1], ys[2], ys[3]});
  const int64_t top = std::max<int64_t>(clip.top, ceiledInteger(lowY));
  const int64_t bottom = std::min<int64_t>(clip.bottom, ceiledInteger(highY));
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
      surface.fill(ceiledInteger(left), y, ceiledInteger(right), y + 1, rgb);
    }
  }
}

// GDI's round cap and join: the elliptic region of a w x w box starting w / 2 up and left
// of the point, traced with a midpoint ellipse (Zingl's algorithm) whose rows are inset from
// the box's sides.
void WidePen::roundDot(Surface& surface, Point centre, int width, std::uint32_t rgb) {
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
    surface.fill(boxLeft + inset, boxTop + i, boxLeft + width - inset, boxTop + i + 1, rgb);
  }
}
