// Which wl_shm buffer the canvas draws into, and the picture carried into the next one.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gfx/SoftCanvas.h"
#include "hosts/wayland/ShmBuffers.h"
#include "hosts/wayland/WaylandLibrary.h"

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

// libwayland stood in for: objects are numbers never read; the buffers' listener is kept.
std::uintptr_t gMade = 0;
std::set<const void*> gDestroyed;
const wl_buffer_listener* gListener = nullptr;
wl_proxy* fakeMarshal(wl_proxy* proxy, std::uint32_t, const wl_interface* made, std::uint32_t,
                      std::uint32_t flags, ...) {
  if ((flags & WL_MARSHAL_FLAG_DESTROY) != 0) gDestroyed.insert(proxy);
  return made == nullptr ? nullptr : reinterpret_cast<wl_proxy*>(++gMade);
}

// Under a compositor that holds each buffer until the next is attached, a whole frame's buffer
// comes with the held one unmapped, kept to be mapped again once released; other drawing keeps
// it mapped. Two buffers serve every step.
TEST(ShmBuffers, AWholeFrameGivesBackTheHeldBufferAndCarriesNothing) {
  const struct Restore {
    WaylandFunctions real = gWayland;
    ~Restore() { gWayland = real; }
  } restore;
  gWayland.wl_proxy_marshal_flags = fakeMarshal;
  gWayland.wl_proxy_add_listener = [](wl_proxy*, void (**listener)(), void*) {
    gListener = reinterpret_cast<const wl_buffer_listener*>(listener);
    return 0;
  };
  gWayland.wl_proxy_get_version = [](wl_proxy*) { return 1u; };
  // Whether the frame is whole, then the frame buffers mapped once the canvas is placed.
  const std::vector<std::pair<bool, int>> steps = {
      {true, 1}, {true, 1}, {false, 2}, {true, 1}, {false, 2}};
  ShmBuffers buffers(reinterpret_cast<wl_shm*>(&gMade), nullptr);
  SoftCanvas canvas(3, 2, nullptr, nullptr);
  ShmBuffers::Buffer* shown = nullptr;
  std::set<const wl_buffer*> used;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const auto [whole, mapped] = steps[i];
    ShmBuffers::Buffer* next = whole ? buffers.fresh(3, 2, ShmFormat::kXrgb8888)
                                     : buffers.drawable(3, 2, ShmFormat::kXrgb8888);
    std::ifstream maps("/proc/self/maps");
    int frames = 0;
    for (std::string line; std::getline(maps, line);) frames += line.ends_with("frame (deleted)");
    EXPECT_EQ(frames, mapped) << "step " << i;
    // Memory given back is never read: a copy from it would crash.
    whole ? canvas.moveToDiscarding({next->pixels, 6}) : canvas.moveTo({next->pixels, 6});
    canvas.fill(0x101010 * static_cast<std::uint32_t>(i + 1));
    ASSERT_EQ(buffers.acquire(3, 2, ShmFormat::kXrgb8888), next);
    used.insert(next->buffer);
    // Attached: the compositor lets go of the one before, which stays to be reused.
    if (shown != nullptr) gListener->release(&buffers, shown->buffer);
    shown = next;
  }
  EXPECT_EQ(used.size(), 2u);
  for (const wl_buffer* buffer : used) EXPECT_FALSE(gDestroyed.contains(buffer));
}

}  // namespace
