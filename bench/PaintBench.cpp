// Painting and ticking: full repaints in each width and skin (the wide window also at scale
// scale 2), the idle tick, the tick after a slide, and the floor they are measured against,
// one copy of a frame of the same size.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "bench/BenchProgram.h"

namespace {

using Width = BenchProgram::Width;

constexpr int kNumberedSkin = 0;
constexpr int kPictureSkin = 1;

// The frame in physical pixels.
Size frameSize(Width width, int scale) {
  return width == Width::kWide ? Size{864 * scale, 401 * scale} : Size{471 * scale, 401 * scale};
}

// The least any repaint must cost: every pixel of the frame written once, from memory.
void frameCopy(benchmark::State& state, Width width, int scale) {
  const Size size = frameSize(width, scale);
  const auto pixels = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
  std::vector<std::uint32_t> from(pixels, 0x00336699u);
  std::vector<std::uint32_t> to(pixels, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), pixels * sizeof(std::uint32_t));
    benchmark::ClobberMemory();
  }
  benchmark::DoNotOptimize(to.data());
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(pixels * sizeof(std::uint32_t)));
}

// WM_PAINT: the whole scene into a fresh frame of the client size at `scale`.
void fullRepaint(benchmark::State& state, Width width, int skin, int scale) {
  BenchProgram program(width, skin, scale);
  if (Size{program.host().frame().width(), program.host().frame().height()} !=
      frameSize(width, scale)) {
    state.SkipWithError("the frame does not have the client size");
    return;
  }
  for (auto _ : state) program.paint();
  if (program.host().insidePaint()) state.SkipWithError("a paint was left open");
}

// WM_TIMER with nothing dirty: the completion test and label refresh, and no painting.
void idleTick(benchmark::State& state) {
  BenchProgram program(Width::kNarrow, kNumberedSkin);
  const int paints = program.host().paintCount();
  for (auto _ : state) program.tick();
  if (program.host().paintCount() != paints) state.SkipWithError("an idle tick painted");
}

// The tick after a tile slid: completion test, the moves label changed, one full repaint. The
// same tile slides back and forth, so every tick has a new move count to show.
void tickAfterSlide(benchmark::State& state, Width width) {
  BenchProgram program(width, kNumberedSkin);
  Point blank = program.blank();
  Point tile{blank.x > 0 ? blank.x - 1 : blank.x + 1, blank.y};
  const int paints = program.host().paintCount();
  for (auto _ : state) {
    state.PauseTiming();
    program.clickCell(tile.x, tile.y);
    std::swap(blank, tile);
    state.ResumeTiming();
    program.tick();
  }
  if (program.host().paintCount() - paints != state.iterations()) {
    state.SkipWithError("a tick after a slide did not paint exactly once");
  }
}

BENCHMARK_CAPTURE(frameCopy, narrow, Width::kNarrow, 1);
BENCHMARK_CAPTURE(frameCopy, wide, Width::kWide, 1);
BENCHMARK_CAPTURE(frameCopy, wide_x2, Width::kWide, 2);
BENCHMARK_CAPTURE(fullRepaint, narrow_numbered, Width::kNarrow, kNumberedSkin, 1);
BENCHMARK_CAPTURE(fullRepaint, narrow_picture, Width::kNarrow, kPictureSkin, 1);
BENCHMARK_CAPTURE(fullRepaint, wide_numbered, Width::kWide, kNumberedSkin, 1);
BENCHMARK_CAPTURE(fullRepaint, wide_picture, Width::kWide, kPictureSkin, 1);
BENCHMARK_CAPTURE(fullRepaint, wide_x2_numbered, Width::kWide, kNumberedSkin, 2);
BENCHMARK_CAPTURE(fullRepaint, wide_x2_picture, Width::kWide, kPictureSkin, 2);
BENCHMARK(idleTick);
BENCHMARK_CAPTURE(tickAfterSlide, narrow, Width::kNarrow);
BENCHMARK_CAPTURE(tickAfterSlide, wide, Width::kWide);

}  // namespace
