// Seeded value noise: smooth random fields for the paper and wood textures.
#pragma once

#include <cstdint>

// The same seed gives the same field on every run; nothing depends on time or global state.
class ValueNoise {
 public:
  explicit ValueNoise(std::uint32_t seed) : seed_(seed) {}

  // A random value 0..1 for each integer lattice point.
  double lattice(int x, int y) const;
  // Smoothly interpolated between lattice points, 0..1.
  double at(double x, double y) const;
  // Sum of `octaves` layers, each of twice the frequency and half the weight, scaled to 0..1.
  double fractal(double x, double y, int octaves) const;

 private:
  std::uint32_t seed_;
};
