// When the window timer ticks and how long the event loop may sleep, kept as Windows keeps it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/hostConstants.h"

// Milliseconds of the system's monotonic clock, since some fixed point: the clock of the window
// timer, and of whatever the hosts time beside it (key repeat).
std::uint64_t monotonicMilliseconds();

// One SetTimer timer, in milliseconds of a monotonic clock:
// - a period below 10 ms runs at 10 ms;
// - ticks keep to the period's grid from when the timer was set, so a tick served late does
//   not push the later ones back;
// - a tick more than a period late is not made up for: Windows does not queue missed
//   WM_TIMER messages, it sends one and starts the grid again from then;
// - while the program is idle the loop sleeps without a timeout.
class TimerSchedule {
 public:
  // Milliseconds since some fixed point; tests give a clock of their own.
  using Clock = std::function<std::uint64_t()>;

  static constexpr int kMinimumPeriod = host::kMinimumTimerPeriod;

  // A schedule on the system's monotonic clock.
  TimerSchedule();
  explicit TimerSchedule(Clock clock);

  // Sets (or sets again) the timer: the first tick is one period from now.
  void start(int milliseconds);
  bool running() const { return period_ != 0; }

  // Whether a tick is due now; when it is, the deadline moves on to the next one, so each due
  // tick is taken once.
  bool takeTick();

  // How long the loop may sleep before the next tick is due: -1 for no limit when no timer is
  // set or the program is idle, else the milliseconds left (0 when one is due).
  int sleepTimeout(bool idle) const;

 private:
  Clock clock_;
  std::uint64_t period_ = 0;
  std::uint64_t deadline_ = 0;
};
