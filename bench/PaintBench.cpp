// Painting and ticking: full repaints in each width and skin, the idle tick, the tick after a
// slide, and the floor they are measured against, one copy of a frame of the same size.
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

Size clientSize(Width width) { return width == Width::kWide ? Size{864, 401} : Size{471, 401}; }

// The least any repaint must cost: every pixel of the frame written once, from memory.
void frameCopy(benchmark::State& state, Width width) {
  const Size size = clientSize(width);
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

// WM_PAINT: the whole scene into a fresh frame of the client size.
void fullRepaint(benchmark::State& state, Width width, int skin) {
  BenchProgram program(width, skin);
  if (Size{program.host().frame().width(), program.host().frame().height()} != clientSize(width)) {
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

BENCHMARK_CAPTURE(frameCopy, narrow, Width::kNarrow);
BENCHMARK_CAPTURE(frameCopy, wide, Width::kWide);
BENCHMARK_CAPTURE(fullRepaint, narrow_numbered, Width::kNarrow, kNumberedSkin);
BENCHMARK_CAPTURE(fullRepaint, narrow_picture, Width::kNarrow, kPictureSkin);
BENCHMARK_CAPTURE(fullRepaint, wide_numbered, Width::kWide, kNumberedSkin);
BENCHMARK_CAPTURE(fullRepaint, wide_picture, Width::kWide, kPictureSkin);
BENCHMARK(idleTick);
BENCHMARK_CAPTURE(tickAfterSlide, narrow, Width::kNarrow);
BENCHMARK_CAPTURE(tickAfterSlide, wide, Width::kWide);

}  // namespace
