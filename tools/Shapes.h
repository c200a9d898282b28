// Anti-aliased filled shapes for the small artwork, described by signed distance functions.
#pragma once

#include <functional>

#include "tools/Image.h"

// Signed distance in pixels from (x, y) to the shape's outline: negative inside.
using Shape = std::function<double(double x, double y)>;
// The colour to paint at (x, y), for shaded fills.
using Paint = std::function<Rgb(double x, double y)>;

Shape circle(double centreX, double centreY, double radius);
// A line segment thickened to `radius` with round ends.
Shape capsule(double fromX, double fromY, double toX, double toY, double radius);
// An axis-aligned box with corners rounded to `cornerRadius`.
Shape roundedBox(double left, double top, double right, double bottom, double cornerRadius);
Shape united(Shape first, Shape second);
// `shape` turned by `degrees` (clockwise on screen, y pointing down) about (pivotX, pivotY).
Shape rotated(Shape shape, double degrees, double pivotX, double pivotY);

// Covers each pixel in proportion to the share of its 4 x 4 sample points inside the shape.
// Sixteen coverage levels keep the number of distinct colours small, which matters for the
// pictures stored with a palette.
void fill(Image& image, const Shape& shape, const Paint& paint, double opacity = 1);
void fill(Image& image, const Shape& shape, Rgb colour, double opacity = 1);
