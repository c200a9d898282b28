// The font search in a child process of its own.
#include "gfx/FontSearch.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

// An answer is three short lines; anything longer is not one.
constexpr std::size_t kMostAnswerBytes = 16 * 1024;

[[noreturn]] void runChild(int writeFd, pid_t parent, const std::string& cacheFile,
                           const std::function<SystemFonts()>& ask) {
  // A parent that ends (a signal before the window exists) takes its search with it; one that
  // ended before this line was reached is caught by the second test.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(1);
  const std::string text = encodeFonts(findSystemFonts(cacheFile, ask));
  std::string_view rest = text;
  while (!rest.empty()) {
    const ssize_t written = write(writeFd, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) _exit(1);
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
  // No destructors, no exit handlers: they belong to the parent.
  _exit(0);
}

// Why a child's answer is missing, in words for the "no font found" line.
std::string failureOf(int status, bool timedOut) {
  if (timedOut) return "the font search did not answer in time";
  if (WIFSIGNALED(status)) {
    return "the font search ended by signal " + std::to_string(WTERMSIG(status));
  }
  return "the font search failed";
}

}  // namespace

FontSearch::FontSearch(std::string cacheFile, std::chrono::milliseconds deadline,
                       std::function<SystemFonts()> ask)
    : cacheFile_(std::move(cacheFile)), deadline_(std::chrono::steady_clock::now() + deadline) {
  answered_ = unchangedFonts(cacheFile_);
  if (answered_) return;
  int ends[2] = {-1, -1};
  // Close-on-exec, so the programs the game starts later do not hold the pipe open.
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  const pid_t parent = getpid();
  child_ = fork();
  if (child_ == 0) {
    close(ends[0]);
    runChild(ends[1], parent, cacheFile_, ask);
  }
  close(ends[1]);
  if (child_ < 0) {
    close(ends[0]);
    return;
  }
  readFd_ = ends[0];
}

FontSearch::~FontSearch() {
  if (readFd_ >= 0) close(readFd_);
  if (child_ > 0) {
    kill(child_, SIGKILL);
    waitpid(child_, nullptr, 0);
  }
}

SystemFonts FontSearch::answer() {
  if (answered_) return *answered_;
  std::string text;
  bool ended = false;
  bool timedOut = false;
  while (readFd_ >= 0 && !ended && !timedOut) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline_ - std::chrono::steady_clock::now());
    pollfd watched{readFd_, POLLIN, 0};
    const int ready = left.count() > 0 ? poll(&watched, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      timedOut = ready == 0;
      break;
    }
    char buffer[4096];
    const ssize_t got = read(readFd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    ended = got <= 0;
    if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
    if (text.size() > kMostAnswerBytes) break;
  }
  int status = 0;
  if (child_ > 0) {
    // Done or not, the child has nothing more to give.
    if (!ended) kill(child_, SIGKILL);
    while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
    }
    child_ = -1;
  }
  if (readFd_ >= 0) {
    close(readFd_);
    readFd_ = -1;
  }
  if (ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    if (std::optional<SystemFonts> fonts = decodeFonts(text)) return *fonts;
  }
  if (std::optional<SystemFonts> kept = keptFonts(cacheFile_)) return *kept;
  SystemFonts none;
  none.error = failureOf(status, timedOut);
  return none;
}
