// Logical and physical pixels at common DPIs: a click anywhere on a pixel's block finds it.
#include <gtest/gtest.h>

#include "hosts/win32/DpiScale.h"

TEST(DpiScale, EveryPhysicalPixelOfALogicalPixelsBlockMapsBackToIt) {
  for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    for (int x = -3; x <= 1000; ++x) {
      const int first = dpi::toPhysical(x, dpi);
      const int next = dpi::toPhysical(x + 1, dpi);
      ASSERT_GT(next, first) << dpi << " dpi, x " << x;
      for (int p = first; p < next; ++p) ASSERT_EQ(dpi::toLogical(p, dpi), x) << dpi << " dpi";
    }
  }
}
