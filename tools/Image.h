// A picture being drawn by the artwork generator: floating-point RGB pixels and their arithmetic.
#pragma once

#include <cstdint>
#include <vector>

// One colour, each channel 0..255. Kept in floating point while drawing so that layers of
// shading do not lose precision before the final rounding.
struct Rgb {
  double r = 0;
  double g = 0;
  double b = 0;
};

// `from` at t = 0, `to` at t = 1.
Rgb mix(Rgb from, Rgb to, double t);
// Every channel multiplied by `factor`.
Rgb scaled(Rgb colour, double factor);
// Rounded and clamped to 0x00RRGGBB.
std::uint32_t packRgb(Rgb colour);
Rgb unpackRgb(std::uint32_t pixel);

class Image {
 public:
  Image(int width, int height, Rgb fill = {});

  int width() const { return width_; }
  int height() const { return height_; }

  // Pixels outside the picture read black and ignore writes, so shapes may overhang the edges.
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb colour);
  // Lays `colour` over the pixel with opacity `alpha` (0..1).
  void blend(int x, int y, Rgb colour, double alpha);

  // 0x00RRGGBB, rows top-down.
  std::vector<std::uint32_t> packed() const;
  static Image fromPacked(int width, int height, const std::vector<std::uint32_t>& pixels);

  // The width x height area whose top-left corner is (left, top).
  Image cropped(int left, int top, int width, int height) const;

 private:
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};
