// The Wayland window's buffer size, scale, viewport and pixel format.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/wayland/BufferLayout.h"

namespace {

TEST(BufferLayout, WholeScalesDrawExactlyAndFractionsDrawAtTheNextWholeOneScaledDown) {
  // The narrow window with the title bar drawn above it.
  constexpr Size kLogical{471, 425};
  struct Case {
    int preferred120;
    int outputScale;
    BufferLayout expected;
  };
  const std::vector<Case> cases = {
      {0, 1, {1, 1, {471, 425}, {}}},
      {0, 2, {2, 2, {942, 850}, {}}},
      {0, 0, {1, 1, {471, 425}, {}}},    // a compositor's nonsense is taken as 1
      {0, 9, {4, 4, {1884, 1700}, {}}},  // never above the canvas's largest scale
      // 125 %, 150 %, 175 %: drawn at 2, the viewport makes it the logical size.
      {150, 1, {2, 1, {942, 850}, {471, 425}}},
      {180, 1, {2, 1, {942, 850}, {471, 425}}},
      {210, 2, {2, 1, {942, 850}, {471, 425}}},
      // A whole preference needs no viewport, and it decides over the outputs' scale.
      {240, 1, {2, 2, {942, 850}, {}}},
      {120, 2, {1, 1, {471, 425}, {}}},
      {270, 1, {3, 1, {1413, 1275}, {471, 425}}},
      {900, 1, {4, 1, {1884, 1700}, {471, 425}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooseBufferLayout(kLogical, c.preferred120, c.outputScale), c.expected)
        << "preferred " << c.preferred120 << "/120, output scale " << c.outputScale;
  }
}

TEST(BufferLayout, TranslucentPixelsCarryTheirAlphaPremultipliedOpaqueOnesAreWhollyOpaque) {
  struct Case {
    std::uint8_t alpha;
    ShmFormat format;
    std::uint32_t from;
    std::uint32_t to;
  };
  const std::vector<Case> cases = {
      {0xFF, ShmFormat::kXrgb8888, 0x00804020, 0xFF804020},
      {0xFF, ShmFormat::kXrgb8888, 0x00FFFFFF, 0xFFFFFFFF},
      {190, ShmFormat::kArgb8888, 0x00FFFFFF, 0xBEBEBEBE},
      {190, ShmFormat::kArgb8888, 0x00000000, 0xBE000000},
      {190, ShmFormat::kArgb8888, 0x00804020, 0xBE5F3018},  // each channel rounded
      {0, ShmFormat::kArgb8888, 0x00FFFFFF, 0x00000000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatFor(c.alpha), c.format) << int{c.alpha};
    std::uint32_t to[2] = {0x12345678, 0x12345678};
    const std::uint32_t from[1] = {c.from};
    convertPixels(from, to, c.alpha);
    EXPECT_EQ(to[0], c.to) << std::hex << c.from << " at alpha " << std::dec << int{c.alpha};
    EXPECT_EQ(to[1], 0x12345678u) << "wrote past the end";
  }
}

}  // namespace
