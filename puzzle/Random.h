// The deal's random numbers: the 32-bit Windows C runtime's rand, so a seed deals the same
// board on every system.
#pragma once

#include <cstdint>

class Random {
 public:
  explicit Random(std::uint32_t seed = 1) : state(seed) {}

  void seed(std::uint32_t value) { state = value; }

  // 0 .. 32767.
  int next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state;
};
