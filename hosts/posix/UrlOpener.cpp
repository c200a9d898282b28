// The desktop's URL opener, started in a grandchild that init reaps.
#include "hosts/posix/UrlOpener.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <vector>

void startUrlOpener(const std::string& url) {
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  std::vector<char> argument0{'x', 'd', 'g', '-', 'o', 'p', 'e', 'n', '\0'};
  std::vector<char> argument1(url.begin(), url.end());
  argument1.push_back('\0');
  char* const argv[] = {argument0.data(), argument1.data(), nullptr};
  // Forking twice hands the opener to init, which reaps it however long it runs; the caller
  // reaps the middle child at once, so no zombie stays. Descriptors opened close-on-exec (the
  // X connection) close on exec. The result is ignored on purpose.
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      // An ignored signal stays ignored across exec; the opener gets the usual SIGPIPE.
      signal(SIGPIPE, SIG_DFL);
      execvp(argv[0], argv);
      _exit(127);
    }
    _exit(0);
  }
  if (child > 0) waitpid(child, nullptr, 0);
}
