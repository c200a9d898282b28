// Golden-image checks for pixel tests: a drawing is compared with tests/golden/<name>.png.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "gfx/SoftCanvas.h"

// Where goldens are read from and where failure images are written.
struct GoldenFolders {
  std::string golden;
  std::string output;
};

// Passes when every pixel matches the golden image within `tolerance` per colour channel.
// On a mismatch (or a missing golden) writes <name>.actual.png and <name>.diff.png into the
// output folder and names them in the failure message; '/' in a name becomes '_' there.
// With DERADU_UPDATE_GOLDEN=1 in the environment the golden is rewritten and the check passes.
::testing::AssertionResult matchesGoldenIn(const GoldenFolders& folders,
                                           std::span<const std::uint32_t> pixels, int width,
                                           int height, std::string_view name, int tolerance);

// The test executables know their folders at compile time; the support library does not.
#if defined(DERADU_TEST_DATA) && defined(DERADU_TEST_OUTPUT)
inline GoldenFolders testGoldenFolders() {
  return {DERADU_TEST_DATA "/golden", DERADU_TEST_OUTPUT};
}

inline ::testing::AssertionResult matchesGolden(std::span<const std::uint32_t> pixels, int width,
                                                int height, std::string_view name,
                                                int tolerance = 0) {
  return matchesGoldenIn(testGoldenFolders(), pixels, width, height, name, tolerance);
}

inline ::testing::AssertionResult matchesGolden(const SoftCanvas& canvas, std::string_view name,
                                                int tolerance = 0) {
  return matchesGolden(canvas.pixels(), canvas.width(), canvas.height(), name, tolerance);
}

inline void expectMatchesGolden(const SoftCanvas& canvas, std::string_view name,
                                int tolerance = 0) {
  EXPECT_TRUE(matchesGolden(canvas, name, tolerance));
}
#endif
