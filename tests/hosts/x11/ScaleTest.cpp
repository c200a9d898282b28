// The scale from GDK_SCALE and Xft.dpi.
#include "hosts/x11/Scale.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Scale, GdkScaleFirstThenXftDpiRoundedToWholeScalesElseOne) {
  struct Case {
    const char* gdkScale;
    const char* resources;
    int scale;
  };
  const std::vector<Case> cases = {
      {nullptr, nullptr, 1},
      {"2", nullptr, 2},
      {"3", "Xft.dpi:\t96\n", 3},
      {"1", "Xft.dpi:\t192\n", 1},
      {"9", nullptr, 4},  // never above the largest scale
      // Not a positive whole number: Xft.dpi decides.
      {"0", "Xft.dpi:\t192\n", 2},
      {"-2", "Xft.dpi:\t192\n", 2},
      {"1.5", nullptr, 1},
      {"", "Xft.dpi:\t288\n", 3},
      {"2x", nullptr, 1},
      {nullptr, "Xft.dpi:\t96\n", 1},
      {nullptr, "Xft.dpi:\t143\n", 1},
      {nullptr, "Xft.dpi:\t143.9\n", 1},
      {nullptr, "Xft.dpi:\t144\n", 2},  // 150 %: the nearest scale, halves up
      {nullptr, "Xft.dpi:\t192\n", 2},
      {nullptr, "Xft.dpi:\t239\n", 2},
      {nullptr, "Xft.dpi:\t240\n", 3},
      {nullptr, "Xft.dpi:\t336\n", 4},
      {nullptr, "Xft.dpi:\t9999999999\n", 4},
      {nullptr, "Xft.antialias:\t1\nXft.dpi: 192.0 \nXft.hinting:\t1\n", 2},
      {nullptr, "Xft.dpi:\t0\n", 1},
      {nullptr, "Xft.dpi:\tlarge\n", 1},
      {nullptr, "Xft.dpi:\t-192\n", 1},
      {nullptr, "Xcursor.size:\t48\n", 1},
      {nullptr, "", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseScale(c.gdkScale, c.resources), c.scale)
        << (c.gdkScale != nullptr ? c.gdkScale : "(unset)") << " / "
        << (c.resources != nullptr ? c.resources : "(none)");
  }
}

}  // namespace
