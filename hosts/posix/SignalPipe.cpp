// SIGTERM, SIGINT and SIGHUP as bytes in a pipe, for an event loop that waits on file descriptors.
#include "hosts/posix/SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

constexpr int kSignals[SignalPipe::kCount] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler reaches its object only through globals; there is one SignalPipe at a time.
volatile std::sig_atomic_t gArrived = 0;
volatile std::sig_atomic_t gWriteFd = -1;

void onSignal(int) {
  const int savedErrno = errno;
  gArrived = 1;
  const char byte = 1;
  if (gWriteFd >= 0) {
    // A full pipe already wakes the loop, so a failed write loses nothing; ignored on purpose.
    [[maybe_unused]] const ssize_t written = write(gWriteFd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

SignalPipe::SignalPipe() {
  int ends[2] = {-1, -1};
  // Non-blocking, so neither the handler nor take() can hang on it; closed on exec, so the
  // programs the game starts do not inherit it.
  if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
    readFd_ = ends[0];
    writeFd_ = ends[1];
  }
  gArrived = 0;
  gWriteFd = writeFd_;
  for (int i = 0; i < kCount; ++i) {
    if (sigaction(kSignals[i], nullptr, &previous_[i]) != 0 || previous_[i].sa_handler != SIG_DFL) {
      continue;
    }
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Other system calls carry on after the handler; poll returns early whatever this says.
    action.sa_flags = SA_RESTART;
    installed_[i] = sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

SignalPipe::~SignalPipe() {
  for (int i = 0; i < kCount; ++i) {
    if (installed_[i]) sigaction(kSignals[i], &previous_[i], nullptr);
  }
  gWriteFd = -1;
  if (readFd_ >= 0) close(readFd_);
  if (writeFd_ >= 0) close(writeFd_);
}

bool SignalPipe::take() {
  if (gArrived == 0) return false;
  gArrived = 0;
  char bytes[64];
  if (readFd_ >= 0) {
    while (read(readFd_, bytes, sizeof bytes) > 0) {
    }
  }
  return true;
}
