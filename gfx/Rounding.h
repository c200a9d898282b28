// Whole numbers from doubles and a vector's length, without the maths library.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// These few roundings were all the program took from libm, which costs every start a library
// and some 320 kB resident. Each is exact for every double; values beyond int64_t's range are
// clamped to it and NaN gives 0, where the library's versions leave the result undefined.

// At 2^52 and beyond every double is a whole number already.
constexpr double kFirstWholeOnlyDouble = 0x1p52;

// `value` truncated toward zero, clamped to int64_t's range.
constexpr std::int64_t truncatedInteger(double value) {
  if (value != value) return 0;
  if (value >= 0x1p63) return std::numeric_limits<std::int64_t>::max();
  if (value < -0x1p63) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

// The nearest whole number, halves away from zero: what lround and llround give.
constexpr std::int64_t roundedInteger(double value) {
  if (!(value > -kFirstWholeOnlyDouble && value < kFirstWholeOnlyDouble)) {
    return truncatedInteger(value);
  }
  const auto whole = static_cast<std::int64_t>(value);
  // Exact: the fraction of a double below 2^52 has no more digits than the double.
  const double fraction = value - static_cast<double>(whole);
  return whole + (fraction >= 0.5) - (fraction <= -0.5);
}

// The smallest whole number not below `value`: what ceil gives.
constexpr std::int64_t ceiledInteger(double value) {
  if (!(value > -kFirstWholeOnlyDouble && value < kFirstWholeOnlyDouble)) {
    return truncatedInteger(value);
  }
  const auto whole = static_cast<std::int64_t>(value);
  return whole + (static_cast<double>(whole) < value);
}

// The length of (x, y), for the lengths of pixel vectors: their squares cannot overflow, and
// for sides under 2^26 they and their sum are exact, so the one rounding of the square root
// gives what hypot gives. Built with -fno-math-errno, std::sqrt is one instruction.
inline double hypotenuse(double x, double y) { return std::sqrt(x * x + y * y); }
