// The font search: the last run's answer while nothing it depends on has changed, otherwise a
// child process of its own, so that a font configuration that crashes or hangs costs only the
// answer, never the game.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "gfx/FontLookup.h"

class FontSearch {
 public:
  // How long a search may take, counted from its start: fontconfig answers in milliseconds
  // once its own caches exist, and in well under a second without them.
  static constexpr std::chrono::milliseconds kDeadline{3000};

  // Takes the answer kept in `cacheFile` if nothing it depends on has changed (most starts: no
  // process, no wait); otherwise starts the child that runs findSystemFonts(cacheFile, ask) and
  // hands its answer over a pipe. Forks: create it before the process starts any thread. The
  // child ends with its parent, whenever that is.
  explicit FontSearch(std::string cacheFile, std::chrono::milliseconds deadline = kDeadline,
                      std::function<SystemFonts()> ask = askFontconfig);
  // Kills and reaps a child still running.
  ~FontSearch();
  FontSearch(const FontSearch&) = delete;
  FontSearch& operator=(const FontSearch&) = delete;

  // Whether the answer is there without waiting for a child.
  bool answered() const { return answered_.has_value(); }

  // The kept answer, or the child's, waited for until the deadline. When the child fails, crashes or is
  // still searching then (it is killed), or cannot be started, the answer kept in the cache
  // file serves if its faces are still there; otherwise no face, and `error` says why. Call
  // once; any thread.
  SystemFonts answer();

 private:
  std::string cacheFile_;
  std::optional<SystemFonts> answered_;
  std::chrono::steady_clock::time_point deadline_;
  pid_t child_ = -1;
  int readFd_ = -1;
};
