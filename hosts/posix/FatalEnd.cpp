// The Linux hosts' one way out of a failure.
#include "hosts/posix/FatalEnd.h"

#include <cstdio>
#include <cstdlib>
#include <new>
#include <optional>

#include "hosts/posix/SignalPipe.h"
#include "platform/hostConstants.h"

void endInFailure(const std::string& message, TextRenderer* text, int stopFd,
                  ErrorDialogShow dialog) {
  std::fprintf(stderr, "deradu: %s\n", message.c_str());
  std::fflush(stderr);
  if (dialog != nullptr) {
    try {
      std::optional<SignalPipe> own;
      if (stopFd < 0) stopFd = own.emplace().fd();
      dialog(message, text, stopFd);
    } catch (const std::bad_alloc&) {
      // No memory for the dialog: the line has said it.
    }
  }
  std::fflush(nullptr);
  std::_Exit(host::kFatalExitCode);
}
