// The roundings that stand in for libm's give its results, and a defined one where it has none.
#include "gfx/Rounding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

TEST(Rounding, WholeNumbersAreTheMathsLibrarys) {
  const double near = std::nextafter(0.5, 0.0);
  const double cases[] = {0.0,    -0.0,   near,   -near,  0.5,    -0.5,         1.5,
                          -1.5,   2.5,    -2.5,   1e-300, -1e-300, 2.75,        -2.25,
                          123.456, 0x1p52 - 0.5, -(0x1p52 - 0.5), 0x1p52 - 1.5, 0x1p52 + 2,
                          -0x1p53, 1e18,  -0x1p63};
  for (const double value : cases) {
    EXPECT_EQ(roundedInteger(value), std::llround(value)) << value;
    EXPECT_EQ(ceiledInteger(value), static_cast<std::int64_t>(std::ceil(value))) << value;
  }
  // Every eighth through a range that crosses the halves of many whole numbers.
  for (int eighths = -4096; eighths <= 4096; ++eighths) {
    ASSERT_EQ(roundedInteger(eighths / 8.0), std::llround(eighths / 8.0)) << eighths;
    ASSERT_EQ(ceiledInteger(eighths / 8.0), std::int64_t(std::ceil(eighths / 8.0))) << eighths;
  }
}

TEST(Rounding, ValuesBeyondTheRangeAreClampedAndNaNIsZero) {
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kLeast = std::numeric_limits<std::int64_t>::min();
  const std::pair<double, std::int64_t> cases[] = {
      {0x1p63, kMost},          {1e300, kMost}, {HUGE_VAL, kMost}, {-0x1p64, kLeast},
      {-HUGE_VAL, kLeast}, {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& [value, expected] : cases) {
    EXPECT_EQ(roundedInteger(value), expected) << value;
    EXPECT_EQ(ceiledInteger(value), expected) << value;
  }
}

TEST(Rounding, PixelVectorLengthsAreHypots) {
  const double sides[][2] = {{3, 4},  {1, 1},         {-5, 12},       {1, 1e6},
                             {-7, -7}, {46341, 46340}, {1, 0x1p25 + 1}, {0x1p26 - 1, 0x1p26 - 3}};
  for (const auto& side : sides) {
    EXPECT_EQ(hypotenuse(side[0], side[1]), std::hypot(side[0], side[1])) << side[0] << side[1];
  }
}

}  // namespace
