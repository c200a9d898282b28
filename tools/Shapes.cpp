// Anti-aliased filled shapes for the small artwork, described by signed distance functions.
#include "tools/Shapes.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

Shape circle(double centreX, double centreY, double radius) {
  return [=](double x, double y) { return std::hypot(x - centreX, y - centreY) - radius; };
}

Shape capsule(double fromX, double fromY, double toX, double toY, double radius) {
  return [=](double x, double y) {
    const double dx = toX - fromX;
    const double dy = toY - fromY;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared > 0
            ? std::clamp(((x - fromX) * dx + (y - fromY) * dy) / lengthSquared, 0.0, 1.0)
            : 0.0;
    return std::hypot(x - (fromX + t * dx), y - (fromY + t * dy)) - radius;
  };
}

Shape roundedBox(double left, double top, double right, double bottom, double cornerRadius) {
  const double centreX = (left + right) / 2;
  const double centreY = (top + bottom) / 2;
  const double halfWidth = (right - left) / 2 - cornerRadius;
  const double halfHeight = (bottom - top) / 2 - cornerRadius;
  return [=](double x, double y) {
    const double qx = std::abs(x - centreX) - halfWidth;
    const double qy = std::abs(y - centreY) - halfHeight;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) -
           cornerRadius;
  };
}

Shape united(Shape first, Shape second) {
  return [first = std::move(first), second = std::move(second)](double x, double y) {
    return std::min(first(x, y), second(x, y));
  };
}

Shape rotated(Shape shape, double degrees, double pivotX, double pivotY) {
  const double radians = degrees * std::numbers::pi / 180;
  const double cosine = std::cos(radians);
  const double sine = std::sin(radians);
  return [shape = std::move(shape), cosine, sine, pivotX, pivotY](double x, double y) {
    // The inverse turn maps the picture's point back into the shape's own frame.
    const double dx = x - pivotX;
    const double dy = y - pivotY;
    return shape(pivotX + dx * cosine + dy * sine, pivotY - dx * sine + dy * cosine);
  };
}

void fill(Image& image, const Shape& shape, const Paint& paint, double opacity) {
  constexpr int kSamples = 4;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const double centreX = x + 0.5;
      const double centreY = y + 0.5;
      // Far from the outline the whole pixel is in or out; skip the samples.
      const double distance = shape(centreX, centreY);
      if (distance > 1) {
        continue;
      }
      int inside = kSamples * kSamples;
      if (distance > -1) {
        inside = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) < 0) {
              ++inside;
            }
          }
        }
      }
      if (inside > 0) {
        image.blend(x, y, paint(centreX, centreY),
                    opacity * inside / static_cast<double>(kSamples * kSamples));
      }
    }
  }
}

void fill(Image& image, const Shape& shape, Rgb colour, double opacity) {
  fill(
      image, shape, [colour](double, double) { return colour; }, opacity);
}
