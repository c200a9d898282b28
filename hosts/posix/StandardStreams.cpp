// Standard input, output and error made valid before the program opens anything else.
#include "hosts/posix/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

void openMissingStandardStreams() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number is this one, as those below it are open by now.
    const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (opened > descriptor) {
      dup2(opened, descriptor);
      close(opened);
    }
    // Without /dev/null (a bare chroot) the descriptor stays closed; nothing better is to hand.
  }
}
