// The window timer on a clock the test moves: the 10 ms floor, the grid, no made-up ticks, and
// the loop's sleep.
#include "hosts/posix/TimerSchedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// At `now` the loop asks for a tick, then how long it may sleep.
struct Step {
  std::uint64_t now;
  bool tick;
  int sleep;
};

struct Case {
  const char* name;
  int period;  // as asked of SetTimer, at time 1000
  bool idle;
  std::vector<Step> steps;
};

TEST(TimerSchedule, TicksOnTheGridNeverFasterThanTenMillisecondsAndSleepsWhileIdle) {
  const Case cases[] = {
      {"a period below 10 ms runs at 10 ms", 1, false,
       {{1001, false, 9}, {1009, false, 1}, {1010, true, 10}, {1019, false, 1}, {1020, true, 10}}},
      {"a period of 0 runs at 10 ms", 0, false, {{1009, false, 1}, {1010, true, 10}}},
      {"a negative period runs at 10 ms", -5, false, {{1009, false, 1}, {1010, true, 10}}},
      {"a tick served late keeps the grid", 30, false,
       {{1029, false, 1}, {1035, true, 25}, {1035, false, 25}, {1060, true, 30}}},
      {"a tick more than a period late is sent once, the grid starting again from then", 10,
       false, {{1035, true, 10}, {1040, false, 5}, {1045, true, 10}}},
      {"an idle program sleeps without a timeout, and still gets due ticks", 10, true,
       {{1005, false, -1}, {1010, true, -1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::uint64_t clock = 1000;
    TimerSchedule timer([&clock] { return clock; });
    EXPECT_FALSE(timer.running());
    EXPECT_FALSE(timer.takeTick());
    EXPECT_EQ(timer.sleepTimeout(false), -1) << "no timer: nothing to wake for";
    timer.start(c.period);
    EXPECT_TRUE(timer.running());
    for (const Step& step : c.steps) {
      SCOPED_TRACE(step.now);
      clock = step.now;
      EXPECT_EQ(timer.takeTick(), step.tick);
      EXPECT_EQ(timer.sleepTimeout(c.idle), step.sleep);
    }
  }
}

TEST(TimerSchedule, SettingTheTimerAgainStartsItsGridFromThenAndADueTickLeavesNoSleep) {
  std::uint64_t clock = 0;
  TimerSchedule timer([&clock] { return clock; });
  timer.start(50);
  clock = 30;
  timer.start(20);
  EXPECT_EQ(timer.sleepTimeout(false), 20);
  clock = 49;
  EXPECT_FALSE(timer.takeTick());
  clock = 57;
  EXPECT_EQ(timer.sleepTimeout(false), 0) << "the tick is due";
  EXPECT_TRUE(timer.takeTick());
  EXPECT_EQ(timer.sleepTimeout(false), 13);
}

}  // namespace
