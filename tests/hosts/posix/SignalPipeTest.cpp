// SIGTERM, SIGINT and SIGHUP through the signal pipe: a signal raised before the wait still ends it,
// each one is taken once, an ignored signal stays ignored, and the old handlers come back.
#include "hosts/posix/SignalPipe.h"

#include <fcntl.h>
#include <poll.h>

#include <gtest/gtest.h>

#include <csignal>

namespace {

bool readable(int fd) {
  pollfd watched{fd, POLLIN, 0};
  return poll(&watched, 1, 0) == 1 && (watched.revents & POLLIN) != 0;
}

TEST(SignalPipe, SignalRaisedBeforeTheWaitEndsItAndIsTakenOnce) {
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(number);
    SignalPipe signals;
    ASSERT_GE(signals.fd(), 0);
    EXPECT_NE(fcntl(signals.fd(), F_GETFD) & FD_CLOEXEC, 0) << "a program it starts never holds it";
    EXPECT_FALSE(readable(signals.fd()));
    EXPECT_FALSE(signals.take());
    // Two signals before anybody looks are one request to close.
    std::raise(number);
    std::raise(number);
    EXPECT_TRUE(readable(signals.fd())) << "a wait that starts now returns at once";
    EXPECT_TRUE(signals.take());
    EXPECT_FALSE(readable(signals.fd())) << "taking empties the pipe";
    EXPECT_FALSE(signals.take());
  }
}

TEST(SignalPipe, IgnoredSignalStaysIgnoredAndDefaultsComeBack) {
  std::signal(SIGINT, SIG_IGN);
  {
    SignalPipe signals;
    std::raise(SIGINT);
    EXPECT_FALSE(signals.take()) << "SIGINT was ignored before and is ignored still";
    std::raise(SIGTERM);
    EXPECT_TRUE(signals.take());
  }
  struct sigaction action {};
  sigaction(SIGINT, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_IGN);
  sigaction(SIGTERM, nullptr, &action);
  EXPECT_EQ(action.sa_handler, SIG_DFL) << "SIGTERM ends the process again";
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace
