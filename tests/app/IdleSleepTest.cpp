// A host may stop ticking while the program is idle: the same messages then give the same
// frames as ticking every 10 ms. DERADU_SOAK_SEED=<n> repeats a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "tests/app/HeadlessProgram.h"
#include "tests/app/MessageSource.h"
#include "tests/app/ProgramInvariants.h"

namespace {

// Each run paints in two programs and compares 1.4 MB frames after every message; this many
// keeps a policy to a few seconds under the sanitizers and still completes games by hand.
constexpr int kMessages = 15000;

enum class Sleep {
  // The sleeping host: after a tick that found nothing to do, no ticks until another message.
  kAfterIdleTick,
  // Stricter: every tick is skipped while the program says it is idle.
  kWhileIdle,
  // A predicate that looks only at the dirty flags and the redraw request, not at what the
  // tick itself would bring up to date. It must be caught, or the stream proves nothing.
  kWhileNothingDirty,
};

// What a player could see or the next frame could show differently; empty when alike.
std::string difference(HeadlessProgram& ticking, HeadlessProgram& sleeping) {
  const HeadlessHost& a = ticking.host();
  const HeadlessHost& b = sleeping.host();
  if (a.paintCount() != b.paintCount()) {
    return "painted " + std::to_string(a.paintCount()) + " and " + std::to_string(b.paintCount()) +
           " times";
  }
  if (a.frame().width() != b.frame().width() || a.frame().height() != b.frame().height() ||
      !std::ranges::equal(a.frame().pixels(), b.frame().pixels())) {
    return "the frames differ";
  }
  const Application::State& s = ticking.state();
  const Application::State& t = sleeping.state();
  if (s.board.getState() != t.board.getState() || s.board.getMoves() != t.board.getMoves() ||
      s.movesLabel.getText(1) != t.movesLabel.getText(1) ||
      s.banner.isVisible() != t.banner.isVisible()) {
    return "game state " + std::to_string(s.board.getState()) + " / " +
           std::to_string(t.board.getState()) + ", labels \"" + s.movesLabel.getText(1) +
           "\" / \"" + t.movesLabel.getText(1) + "\", banner " +
           (s.banner.isVisible() ? "shown" : "hidden") + " / " +
           (t.banner.isVisible() ? "shown" : "hidden");
  }
  return {};
}

struct Outcome {
  std::string difference;  // the first one, with the message it followed; empty when none
  int skippedTicks = 0;
  int completions = 0;
};

Outcome compare(Sleep sleep, std::uint64_t streamSeed) {
  HeadlessProgram ticking;
  HeadlessProgram sleeping;
  ticking.start();
  sleeping.start();
  std::mt19937_64 random(streamSeed);
  MessageSource source = randomMessages(random, ticking.state().board);

  Outcome outcome;
  bool asleep = false;
  bool completed = false;
  for (int i = 0; i < kMessages; ++i) {
    const WindowMessage m = source.next();
    ticking.host().send(m.message, m.wParam, m.lParam);
    if (m.message != msg::kTimer) {
      asleep = false;
      sleeping.host().send(m.message, m.wParam, m.lParam);
    } else {
      switch (sleep) {
        case Sleep::kAfterIdleTick: {
          if (asleep) break;
          const bool foundNothing = sleeping.app().isIdle();
          sleeping.host().send(m.message, m.wParam, m.lParam);
          asleep = foundNothing;
          break;
        }
        case Sleep::kWhileIdle:
        case Sleep::kWhileNothingDirty:
          asleep = sleep == Sleep::kWhileIdle
                       ? sleeping.app().isIdle()
                       : !sleeping.state().controller.pendingWork().repaint;
          if (!asleep) sleeping.host().send(m.message, m.wParam, m.lParam);
          break;
      }
      if (asleep) ++outcome.skippedTicks;
    }
    if (std::string found = difference(ticking, sleeping); !found.empty()) {
      char message[16];
      std::snprintf(message, sizeof message, "0x%04x", m.message);
      outcome.difference = "after message " + std::to_string(i) + " (" + message + "): " + found;
      return outcome;
    }
    const bool nowCompleted = ticking.state().board.getState() == Deradu::kCompleted;
    if (nowCompleted && !completed) ++outcome.completions;
    completed = nowCompleted;
  }
  return outcome;
}

}  // namespace

TEST(IdleSleep, SkippingIdleTicksChangesNoFrame) {
  const std::uint64_t streamSeed = soakSeed();
  SCOPED_TRACE(seedTrace(streamSeed));
  struct Case {
    const char* host;
    Sleep sleep;
  };
  const Case cases[] = {{"sleeping after an idle tick", Sleep::kAfterIdleTick},
                        {"skipping every tick while idle", Sleep::kWhileIdle}};
  for (const Case& c : cases) {
    const Outcome outcome = compare(c.sleep, streamSeed);
    EXPECT_EQ(outcome.difference, "") << c.host;
    // Most ticks find nothing to do, and the stream reaches the completion the tick detects.
    EXPECT_GT(outcome.skippedTicks, kMessages / 20) << c.host;
    EXPECT_GT(outcome.completions, 0) << c.host;
  }
}

// The stream reaches the states where only the tick's own work (the moves label, the
// completion test, the banner) is pending after a WM_PAINT cleared every dirty flag: a host
// that slept on the dirty flags alone would miss them.
TEST(IdleSleep, TheDirtyFlagsAloneAreNotEnoughToSleepOn) {
  const std::uint64_t streamSeed = soakSeed();
  SCOPED_TRACE(seedTrace(streamSeed));
  EXPECT_NE(compare(Sleep::kWhileNothingDirty, streamSeed).difference, "");
}
