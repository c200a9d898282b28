// The visual the program's windows are made with.
#include "hosts/x11/VisualPolicy.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(VisualPolicy, DefaultTrueColorFirstThenDirect24ThenDeepestElseNone) {
  const VisualOffer direct{true, 24, 0xFF0000, 0xFF00, 0xFF, false};
  const VisualOffer bgr{true, 24, 0xFF, 0xFF00, 0xFF0000, false};
  const VisualOffer deep{true, 30, 0x3FF00000, 0xFFC00, 0x3FF, false};
  const VisualOffer argb{true, 32, 0xFF0000, 0xFF00, 0xFF, false};
  const VisualOffer shallow{true, 16, 0xF800, 0x7E0, 0x1F, false};
  const VisualOffer shallowDefault{true, 16, 0xF800, 0x7E0, 0x1F, true};
  const VisualOffer pseudoDefault{false, 8, 0, 0, 0, true};
  const VisualOffer pseudo{false, 8, 0, 0, 0, false};
  const VisualOffer tinyDefault{true, 8, 0xE0, 0x1C, 0x03, true};
  struct Case {
    const char* what;
    std::vector<VisualOffer> offers;
    int chosen;
  };
  const std::vector<Case> cases = {
      {"the default TrueColor visual at any depth", {direct, deep, shallowDefault}, 2},
      {"a PseudoColor default: the canvas's own 24-bit layout", {pseudoDefault, deep, direct}, 2},
      {"above a deeper ARGB one", {argb, direct}, 1},
      {"no 24-bit layout of the canvas's: the deepest", {pseudoDefault, shallow, deep, bgr}, 2},
      {"the first of equals", {pseudoDefault, shallow, shallow}, 1},
      {"no TrueColor visual", {pseudoDefault, pseudo}, -1},
      {"an 8-bit display's 3-3-2 TrueColor visuals", {pseudo, tinyDefault}, -1},
      {"a 3-3-2 default beside 16 bits", {tinyDefault, shallow}, 1},
      {"no visual", {}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(chooseVisual(c.offers), c.chosen) << c.what;
}

}  // namespace
