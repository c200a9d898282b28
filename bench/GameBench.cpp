// The work outside painting: a deal at each level, and reading and writing the settings file.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include <unistd.h>

#include "puzzle/Deradu.h"
#include "settings/Settings.h"

namespace {

// Deradu::newGame: a random walk of the blank until the level's disorder is reached. Each deal
// gets its own seed, so the time is the mean over many walks, short and long.
void deal(benchmark::State& state, int level) {
  // The grid's cell array is large; keep it off the stack.
  const auto board = std::make_unique<Deradu>();
  std::uint32_t seed = 1700000000;
  for (auto _ : state) {
    if (!board->newGame(level, seed++)) {
      state.SkipWithError("the level was refused");
      return;
    }
    benchmark::DoNotOptimize(board->tileAt(0, 0));
  }
}

// A settings folder of its own under the system's temporary folder, removed afterwards.
class TemporarySettings {
 public:
  TemporarySettings()
      : folder_(std::filesystem::temp_directory_path() /
                ("deradu-bench-" + std::to_string(::getpid()))) {}
  ~TemporarySettings() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  TemporarySettings(const TemporarySettings&) = delete;
  TemporarySettings& operator=(const TemporarySettings&) = delete;

  std::string path() const { return (folder_ / "qor" / "revaziriv" / "revAziriv.ini").string(); }

 private:
  std::filesystem::path folder_;
};

// What the program stores at exit: skin, two flags, top, left, level.
Settings typicalSettings() {
  Settings settings;
  const std::uint32_t values[] = {1, 0, 1, 120, 4294967290u, 3};
  for (int i = 0; i < Settings::kFileLineCount; ++i) settings.setUnsigned(i, values[i]);
  return settings;
}

void settingsWrite(benchmark::State& state) {
  const TemporarySettings folder;
  const Settings settings = typicalSettings();
  for (auto _ : state) {
    if (!settings.write(folder.path())) {
      state.SkipWithError("the settings file was not written");
      return;
    }
  }
}

void settingsRead(benchmark::State& state) {
  const TemporarySettings folder;
  if (!typicalSettings().write(folder.path())) {
    state.SkipWithError("the settings file was not written");
    return;
  }
  for (auto _ : state) {
    Settings settings;
    if (!settings.read(folder.path())) {
      state.SkipWithError("the settings file was not read");
      return;
    }
    benchmark::DoNotOptimize(settings.line(5).data());
  }
}

BENCHMARK_CAPTURE(deal, easy, Deradu::kEasy);
BENCHMARK_CAPTURE(deal, medium, Deradu::kMedium);
BENCHMARK_CAPTURE(deal, hard, Deradu::kHard);
BENCHMARK(settingsRead);
BENCHMARK(settingsWrite);

}  // namespace
