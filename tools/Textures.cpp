// The paper and wood textures the backgrounds, title bar, buttons and banner are cut from.
#include "tools/Textures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "tools/ValueNoise.h"

namespace {

double smoothStep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// A small fixed-seed generator (splitmix64), so the fibres fall the same way on every run.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  double uniform(double low, double high) {
    state_ += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    z ^= z >> 31;
    return low + (high - low) * static_cast<double>(z >> 11) / 9007199254740992.0;
  }

 private:
  std::uint64_t state_;
};

constexpr int kSheetWidth = 870;
constexpr int kSheetHeight = 426;

Rgb paperAt(double x, double y) {
  static const ValueNoise kClouds(0x7A3B1C01u);
  static const ValueNoise kMottle(0x7A3B1C02u);
  static const ValueNoise kGrain(0x7A3B1C05u);
  constexpr Rgb kPaper{243, 234, 210};
  constexpr Rgb kAged{224, 205, 166};

  // Broad soft clouds of older, warmer paper.
  const double clouds = smoothStep(0.3, 0.72, kClouds.fractal(x / 130, y / 130, 5));
  Rgb colour = mix(kPaper, kAged, clouds * 0.5);
  // Small mottling.
  const double mottle = kMottle.fractal(x / 9, y / 9, 3) - 0.5;
  colour = mix(colour, mottle > 0 ? kAged : kPaper, std::abs(mottle) * 0.6);
  // Per-pixel grain, just visible up close.
  const double grain =
      kGrain.lattice(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))) - 0.5;
  return {colour.r + grain * 5, colour.g + grain * 5, colour.b + grain * 5};
}

// Lays one fibre: a thin, gently bending thread of `length` pixels starting at (x, y).
void layFibre(Image& sheet, Random& random) {
  constexpr Rgb kLightFibre{252, 248, 234};
  constexpr Rgb kDarkFibre{196, 176, 136};
  double x = random.uniform(-40, kSheetWidth + 40);
  double y = random.uniform(-40, kSheetHeight + 40);
  double heading = random.uniform(-0.5, 0.5) + (random.uniform(0, 1) < 0.3 ? 1.4 : 0.0);
  const double bend = random.uniform(-0.04, 0.04);
  const int steps = static_cast<int>(random.uniform(6, 22));
  const double halfWidth = random.uniform(0.35, 0.75);
  const bool dark = random.uniform(0, 1) < 0.45;
  const double strength = dark ? random.uniform(0.12, 0.3) : random.uniform(0.3, 0.6);

  std::vector<std::pair<double, double>> path{{x, y}};
  for (int step = 0; step < steps; ++step) {
    heading += bend + random.uniform(-0.08, 0.08);
    x += 3 * std::cos(heading);
    y += 3 * std::sin(heading);
    path.emplace_back(x, y);
  }
  double minX = path[0].first, maxX = minX, minY = path[0].second, maxY = minY;
  for (const auto& [px, py] : path) {
    minX = std::min(minX, px);
    maxX = std::max(maxX, px);
    minY = std::min(minY, py);
    maxY = std::max(maxY, py);
  }
  for (int py = static_cast<int>(minY) - 2; py <= static_cast<int>(maxY) + 2; ++py) {
    for (int px = static_cast<int>(minX) - 2; px <= static_cast<int>(maxX) + 2; ++px) {
      double nearest = 1e9;
      double along = 0;
      for (std::size_t i = 1; i < path.size(); ++i) {
        const double ax = path[i - 1].first, ay = path[i - 1].second;
        const double dx = path[i].first - ax, dy = path[i].second - ay;
        const double t = std::clamp(
            ((px + 0.5 - ax) * dx + (py + 0.5 - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        const double distance = std::hypot(px + 0.5 - ax - t * dx, py + 0.5 - ay - t * dy);
        if (distance < nearest) {
          nearest = distance;
          along = (static_cast<double>(i - 1) + t) / static_cast<double>(path.size() - 1);
        }
      }
      // Fibres fade in and out at their ends instead of stopping bluntly.
      const double taper = std::sin(along * std::numbers::pi);
      const double coverage = std::clamp(halfWidth + 0.5 - nearest, 0.0, 1.0);
      if (coverage > 0) {
        sheet.blend(px, py, dark ? kDarkFibre : kLightFibre, strength * coverage * taper);
      }
    }
  }
}

const Image& wholeSheet() {
  static const Image kSheet = [] {
    Image sheet(kSheetWidth, kSheetHeight);
    for (int y = 0; y < kSheetHeight; ++y) {
      for (int x = 0; x < kSheetWidth; ++x) {
        sheet.set(x, y, paperAt(x, y));
      }
    }
    Random random(0xF1B3E5u);
    for (int fibre = 0; fibre < 650; ++fibre) {
      layFibre(sheet, random);
    }
    return sheet;
  }();
  return kSheet;
}

}  // namespace

Image parchmentSheet(int left, int top, int width, int height) {
  return wholeSheet().cropped(left, top, width, height);
}

Image woodBoard(int width, int height, double grainOffset) {
  static const ValueNoise kWarp(0x3D00D001u);
  static const ValueNoise kFine(0x3D00D002u);
  static const ValueNoise kTone(0x3D00D003u);
  constexpr Rgb kLight{240, 214, 170};
  constexpr Rgb kDark{214, 176, 124};
  constexpr Rgb kStreak{196, 154, 104};

  Image board(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double gx = x + grainOffset * 3.1;
      const double gy = y + grainOffset;
      // Growth rings cut lengthwise: bands along x, bent by slow noise.
      const double bend = 9 * kWarp.fractal(gx / 90, gy / 25, 3);
      const double ring = 0.5 + 0.5 * std::sin((gy + bend) * 2 * std::numbers::pi / 9.5);
      const double late = std::pow(ring, 3);
      Rgb colour = mix(kLight, kDark, 0.65 * late);
      // Fine pores stretched along the grain.
      const double pores = kFine.fractal(gx / 24, gy / 1.4, 2);
      colour = mix(colour, kStreak, 0.3 * smoothStep(0.55, 0.8, pores));
      // Slow variation of tone across the board.
      colour = mix(colour, kLight, 0.3 * kTone.fractal(gx / 60, gy / 60, 2));
      board.set(x, y, colour);
    }
  }
  return board;
}
