// Which wl_shm buffer the canvas draws into, and the picture carried into the next one.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "gfx/SoftCanvas.h"
#include "hosts/wayland/ShmBuffers.h"

namespace {

// Steps of a run under a compositor that holds a buffer until the next is attached: the canvas
// moves where chooseBuffer says (its own memory on -1), must show the picture drawn last, and
// draws a new one there; a buffer it left keeps the picture the compositor was given.
TEST(ShmBuffers, AHeldBufferIsNeverDrawnIntoAndTheNextOneStartsWithTheLastPicture) {
  struct Step {
    std::size_t made;
    std::array<bool, 2> held;
    int chosen;
  };
  const std::vector<Step> steps = {
      {0, {}, 0},              // the first buffer
      {1, {false}, 0},         // drawn again in place while it is free
      {1, {true}, 1},          // the second only once the first is held
      {2, {true, false}, 1},   // the last drawn one while it is free
      {2, {false, true}, 0},   // back to the first once released
      {2, {true, true}, -1},   // both held: memory of the canvas's own
      {2, {false, true}, 0},   // the first free one
      {2, {false, false}, 0},  // the last drawn one, though both are free
  };
  std::array<std::vector<std::uint32_t>, 2> buffers{std::vector<std::uint32_t>(6),
                                                    std::vector<std::uint32_t>(6)};
  SoftCanvas canvas(3, 2, nullptr, nullptr);
  int last = -1;
  std::uint32_t colour = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const int chosen = chooseBuffer(std::span(steps[i].held).first(steps[i].made), last, 2);
    EXPECT_EQ(chosen, steps[i].chosen) << "step " << i;
    const std::array<std::vector<std::uint32_t>, 2> before = buffers;
    canvas.moveTo(chosen < 0 ? std::span<std::uint32_t>{} : std::span(buffers.at(chosen)));
    EXPECT_EQ(canvas.pixel(2, 1), colour) << "step " << i << ": the last picture carried over";
    colour = 0x101010 * static_cast<std::uint32_t>(i + 1);
    canvas.fill(colour);
    for (int b = 0; b < 2; ++b) {
      const auto expected = b == chosen ? std::vector<std::uint32_t>(6, colour) : before.at(b);
      EXPECT_EQ(buffers.at(b), expected) << "step " << i << ", buffer " << b;
    }
    last = chosen;
  }
}

}  // namespace
