// Tens of thousands of random window messages through the whole program, with its invariants
// checked after every one. DERADU_SOAK_SEED=<n> repeats a run; DERADU_SOAK_MESSAGES=<n> sets
// the messages per session for a longer soak.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>

#include <malloc.h>

#include "app/ScreenTable.h"
#include "tests/app/HeadlessProgram.h"
#include "tests/app/MessageSource.h"
#include "tests/app/ProgramInvariants.h"

namespace {

// 3 sessions x 30,000 messages: every command, key and widget edge comes up hundreds of times
// and the player completes the puzzle in every session, while the sanitizer build stays under
// 20 seconds. Painting sets the pace: about one message in nine repaints the whole frame, at
// about 1.3 ms a paint under the sanitizers.
constexpr int kMessagesPerSession = 30000;

int messagesPerSession() {
  if (const char* text = std::getenv("DERADU_SOAK_MESSAGES")) return std::atoi(text);
  return kMessagesPerSession;
}

// What the run went through, so a soak that never reached the interesting states fails.
struct Coverage {
  int completions = 0;
  int wideMessages = 0;
  int pictureSkinMessages = 0;
  int solvedMessages = 0;
  int mostMoves = 0;
};

// Runs one session; returns the first failure, or empty.
std::string soak(const char* settings, std::mt19937_64& random, Coverage& coverage) {
  HeadlessProgram program(settings);
  program.start();
  Application& app = program.app();
  HeadlessHost& host = program.host();
  MessageSource source = randomMessages(random, program.state().board);
  std::deque<std::string> recent;
  bool completed = false;

  const int messages = messagesPerSession();
  for (int i = 0; i < messages; ++i) {
    const WindowMessage m = source.next();
    recent.push_back(describe(m));
    if (recent.size() > 12) recent.pop_front();
    const auto failure = [&](const std::string& what) {
      std::string text = "after message " + std::to_string(i) + ": " + what + "\nlast messages:";
      for (const std::string& line : recent) text += "\n  " + line;
      return text;
    };

    if (std::string broken = sendAndCheck(app, host, m); !broken.empty()) return failure(broken);

    const Application::State& s = program.state();
    const bool nowCompleted = s.board.getState() == Deradu::kCompleted;
    if (nowCompleted && !completed) ++coverage.completions;
    completed = nowCompleted;
    if (s.screen.sidePanelShown()) ++coverage.wideMessages;
    if (s.skin.getCurrentSkin(0) == 1) ++coverage.pictureSkinMessages;
    if (s.board.getState() == Deradu::kSolved) ++coverage.solvedMessages;
    coverage.mostMoves = std::max(coverage.mostMoves, s.board.getMoves());
  }
  return {};
}

}  // namespace

TEST(Soak, RandomMessagesKeepTheProgramSound) {
  const std::uint64_t seed = soakSeed();
  SCOPED_TRACE(seedTrace(seed));
  std::mt19937_64 random(seed);
  Coverage coverage;
  // No settings file; every flag and the picture skin saved; nonsense values.
  const char* sessions[] = {nullptr, "1\n1\n1\n40\n900\n3\n", "-7\nx\n\n99999999999\n-1\n0\n"};
  for (const char* settings : sessions) {
    const std::string failure = soak(settings, random, coverage);
    if (!failure.empty()) {
      FAIL() << failure << "\nsettings file: " << (settings ? settings : "(none)");
    }
  }
  // A soak that never reached these states proves little about them.
  EXPECT_GT(coverage.completions, 0);
  EXPECT_GT(coverage.wideMessages, 0);
  EXPECT_GT(coverage.pictureSkinMessages, 0);
  EXPECT_GT(coverage.solvedMessages, 0);
  // Long games: a move count of three digits in the moves label.
  EXPECT_GE(coverage.mostMoves, 100);
  std::printf("soak: %d completions by hand, at most %d moves in a game\n", coverage.completions,
              coverage.mostMoves);
}

// GCC says AddressSanitizer is on with a macro, Clang through __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define DERADU_HEAP_FROM_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DERADU_HEAP_FROM_SANITIZER 1
#endif
#endif

#if defined(DERADU_HEAP_FROM_SANITIZER)
// From the sanitizer runtime's allocator interface; GCC ships the runtime but not the header.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes the heap holds for the program right now, as the allocator in use counts them.
std::size_t heapInUse() {
#if defined(DERADU_HEAP_FROM_SANITIZER)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

}  // namespace

// A long run of play must not make the program hold more and more memory: whatever the first
// thousand messages brought in (glyphs, the wide frame) is all it ever needs.
TEST(Soak, HeapInUseStaysLevelOverALongRun) {
  const std::uint64_t seed = soakSeed();
  SCOPED_TRACE(seedTrace(seed));
  std::mt19937_64 random(seed);
  HeadlessProgram program("1\n0\n1\n40\n900\n3\n");
  program.start();
  // The frame keeps the buffer of the widest window it has had: show the wide window once
  // before counting, or a run that first widens late would count that buffer as growth.
  for (int i = 0; i < 2; ++i) {
    program.clickBox(screen::kShowHide);
    program.host().send(msg::kPaint);
  }
  MessageSource source = randomMessages(random, program.state().board);
  constexpr int kSettleMessages = 1000;
  constexpr int kMessages = 100000;
  constexpr long long kMostGrowth = 1 << 20;
  long long settled = 0;
  for (int i = 1; i <= kMessages; ++i) {
    const WindowMessage m = source.next();
    program.host().send(m.message, m.wParam, m.lParam);
    if (i == kSettleMessages) settled = static_cast<long long>(heapInUse());
  }
  const long long growth = static_cast<long long>(heapInUse()) - settled;
  EXPECT_LT(growth, kMostGrowth) << "the heap in use grew by " << growth << " bytes";
}
