// A picture being drawn by the artwork generator: floating-point RGB pixels and their arithmetic.
#include "tools/Image.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

std::uint32_t channel(double value) {
  return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

}  // namespace

Rgb mix(Rgb from, Rgb to, double t) {
  return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t};
}

Rgb scaled(Rgb colour, double factor) {
  return {colour.r * factor, colour.g * factor, colour.b * factor};
}

std::uint32_t packRgb(Rgb colour) {
  return channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
}

Rgb unpackRgb(std::uint32_t pixel) {
  return {static_cast<double>(pixel >> 16 & 0xFF), static_cast<double>(pixel >> 8 & 0xFF),
          static_cast<double>(pixel & 0xFF)};
}

Image::Image(int width, int height, Rgb fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

Rgb Image::at(int x, int y) const {
  if (!contains(x, y)) {
    return {};
  }
  return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
}

void Image::set(int x, int y, Rgb colour) {
  if (contains(x, y)) {
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = colour;
  }
}

void Image::blend(int x, int y, Rgb colour, double alpha) {
  if (contains(x, y)) {
    set(x, y, mix(at(x, y), colour, std::clamp(alpha, 0.0, 1.0)));
  }
}

std::vector<std::uint32_t> Image::packed() const {
  std::vector<std::uint32_t> result;
  result.reserve(pixels_.size());
  for (const Rgb& pixel : pixels_) {
    result.push_back(packRgb(pixel));
  }
  return result;
}

Image Image::fromPacked(int width, int height, const std::vector<std::uint32_t>& pixels) {
  Image image(width, height);
  for (std::size_t i = 0; i < image.pixels_.size() && i < pixels.size(); ++i) {
    image.pixels_[i] = unpackRgb(pixels[i]);
  }
  return image;
}

Image Image::cropped(int left, int top, int width, int height) const {
  Image result(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      result.set(x, y, at(left + x, top + y));
    }
  }
  return result;
}
