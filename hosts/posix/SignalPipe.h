// SIGTERM, SIGINT and SIGHUP as bytes in a pipe, for an event loop that waits on file descriptors.
#pragma once

#include <signal.h>

// While it exists, SIGTERM, SIGINT and SIGHUP no longer end the process: each sets a flag and writes a
// byte into a pipe. A loop that watches the pipe in the same poll as its other input cannot
// miss a signal that lands just before it starts to wait, so it can wait without a timeout.
// A signal that the process was started to ignore stays ignored, as a shell's background job
// expects. One at a time per process; the previous handlers come back when it goes.
class SignalPipe {
 public:
  // How many signals it takes over.
  static constexpr int kCount = 3;

  SignalPipe();
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  // The end to watch for reading; -1 when no pipe could be made, and then only take() tells.
  int fd() const { return readFd_; }
  // Whether a signal arrived since the last call; empties the pipe. Costs no system call
  // while nothing arrived.
  bool take();

 private:
  int readFd_ = -1;
  int writeFd_ = -1;
  // What each signal did before, and whether this object replaced it.
  struct sigaction previous_[kCount] = {};
  bool installed_[kCount] = {};
};
