// The window timer's grid and the event loop's sleep.
#include "hosts/posix/TimerSchedule.h"

#include <algorithm>
#include <ctime>
#include <utility>

std::uint64_t monotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

TimerSchedule::TimerSchedule() : TimerSchedule(monotonicMilliseconds) {}

TimerSchedule::TimerSchedule(Clock clock) : clock_(std::move(clock)) {}

void TimerSchedule::start(int milliseconds) {
  period_ = static_cast<std::uint64_t>(std::max(milliseconds, kMinimumPeriod));
  deadline_ = clock_() + period_;
}

bool TimerSchedule::takeTick() {
  if (period_ == 0) return false;
  const std::uint64_t now = clock_();
  if (now < deadline_) return false;
  deadline_ += period_;
  if (deadline_ <= now) deadline_ = now + period_;
  return true;
}

int TimerSchedule::sleepTimeout(bool idle) const {
  if (period_ == 0 || idle) return -1;
  const std::uint64_t now = clock_();
  // The deadline is at most one period (an int) ahead of the clock.
  return now >= deadline_ ? 0 : static_cast<int>(deadline_ - now);
}
