// Seeded value noise: smooth random fields for the paper and wood textures.
#include "tools/ValueNoise.h"

#include <cmath>

namespace {

// A 32-bit integer mix with good avalanche; any change of input bits scrambles the output.
std::uint32_t hash(std::uint32_t value) {
  value ^= value >> 16;
  value *= 0x7FEB352Du;
  value ^= value >> 15;
  value *= 0x846CA68Bu;
  value ^= value >> 16;
  return value;
}

// Quintic fade: continuous slope and curvature across lattice cells, so no grid shows.
double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double ValueNoise::lattice(int x, int y) const {
  const std::uint32_t key = hash(seed_ ^ hash(static_cast<std::uint32_t>(x) * 0x9E3779B1u ^
                                              hash(static_cast<std::uint32_t>(y) + 0x632BE5ABu)));
  return static_cast<double>(key >> 8) / static_cast<double>(1u << 24);
}

double ValueNoise::at(double x, double y) const {
  const double floorX = std::floor(x);
  const double floorY = std::floor(y);
  const int cellX = static_cast<int>(floorX);
  const int cellY = static_cast<int>(floorY);
  const double u = fade(x - floorX);
  const double v = fade(y - floorY);
  const double top =
      lattice(cellX, cellY) + (lattice(cellX + 1, cellY) - lattice(cellX, cellY)) * u;
  const double bottom =
      lattice(cellX, cellY + 1) + (lattice(cellX + 1, cellY + 1) - lattice(cellX, cellY + 1)) * u;
  return top + (bottom - top) * v;
}

double ValueNoise::fractal(double x, double y, int octaves) const {
  double sum = 0;
  double weight = 1;
  double total = 0;
  for (int octave = 0; octave < octaves; ++octave) {
    // Each octave is offset so that lattice points of different octaves do not line up.
    sum += weight * at(x + octave * 17.31, y - octave * 9.77);
    total += weight;
    weight *= 0.5;
    x *= 2;
    y *= 2;
  }
  return total > 0 ? sum / total : 0;
}
