// The scale from GDK_SCALE and Xft.dpi.
#include "hosts/x11/Scale.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

TEST(Scale, GdkScaleFirstThenXftDpiRoundedToWholeScalesElseOne) {
  struct Case {
    const char* gdkScale;
    const char* resources;
    int scale;
    const char* screenResources = nullptr;
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
      // The screen's own resources (xrdb -screen) come before the display's.
      {nullptr, "Xft.dpi:\t96\n", 2, "Xft.dpi:\t192\n"},
      {nullptr, "Xft.dpi:\t288\n", 3, "Xcursor.size:\t48\n"},
      {nullptr, nullptr, 3, "Xft.dpi:\t288\n"},
      {"1", nullptr, 1, "Xft.dpi:\t288\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseScale(c.gdkScale, c.resources, c.screenResources), c.scale)
        << (c.gdkScale != nullptr ? c.gdkScale : "(unset)") << " / "
        << (c.resources != nullptr ? c.resources : "(none)");
  }
}

// The widest window, 864 x 401 logical with a 6 x 25 frame, on the monitor it opens on.
TEST(Scale, LargestScaleNotAboveTheAskedOneAtWhichTheWidestWindowFitsItsMonitor) {
  const std::vector<Rect> twoMonitors = {{1920, 0, 3200, 720}, {0, 0, 1920, 1080}};
  struct Case {
    const char* what;
    int asked;
    std::vector<Rect> monitors;
    std::optional<Rect> workArea;
    Point titleBar;
    int scale;
  };
  const std::vector<Case> cases = {
      {"3 on 1920 x 1080: 2598 wide is too wide", 3, {{0, 0, 1920, 1080}}, {}, {3, 12}, 2},
      {"4 on 3840 x 2160", 4, {{0, 0, 3840, 2160}}, {}, {3, 12}, 4},
      {"4 on 3840 x 2160 less a panel: 1629 high is too high", 4, {{0, 0, 3840, 2160}},
       Rect{0, 0, 3840, 1628}, {3, 12}, 3},
      {"2 with the panel beside the monitor", 2, {{0, 0, 1920, 1080}}, Rect{2000, 0, 3000, 900},
       {3, 12}, 2},
      {"the monitor the title bar is on: 1280 x 720", 2, twoMonitors, {}, {1923, 12}, 1},
      {"on no monitor: the first", 2, twoMonitors, {}, {2000, 900}, 1},
      {"the work area cut to the monitor", 2, twoMonitors, Rect{0, 0, 3200, 826}, {3, 12}, 1},
      {"no monitors: the work area", 2, {}, Rect{0, 0, 1920, 1080}, {3, 12}, 2},
      {"nothing asked; 1 even where that does not fit", 0, {{0, 0, 640, 480}}, {}, {3, 12}, 1},
  };
  for (const Case& c : cases) {
    const std::optional<Rect> area = openingArea(c.monitors, c.workArea, c.titleBar);
    ASSERT_TRUE(area) << c.what;
    EXPECT_EQ(fittedScale(c.asked, {864, 401}, {6, 25}, *area), c.scale) << c.what;
  }
  EXPECT_FALSE(openingArea({}, {}, {0, 0}));
}

}  // namespace
