// The Linux program's entry: one application object and one host (Wayland or X11) for the run.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <system_error>

#include "HelpText.h"
#include "HostChoice.h"
#include "app/Application.h"
#include "app/ScreenTable.h"
#include "gfx/resources/ResourceStore.h"
#include "gfx/FontSearch.h"
#include "gfx/TextRenderer.h"
#include "hosts/posix/StandardStreams.h"
#include "settings/SettingsPath.h"

namespace {

// What a shell user expects of any program: --version and --help print and end; anything else
// on the command line is a mistake, said on standard error with the exit code getopt-style
// tools use. Without arguments the game starts.
constexpr int kUsageExitCode = 2;

constexpr std::string_view kUsage = "Usage: deradu [--help | --version]\n";

void print(std::FILE* to, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), to);
}

// The exit code when the command line asks for something other than the game; -1 to play.
int handleArguments(int argc, char** argv) {
  if (argc < 2) return -1;
  const std::string_view option = argv[1];
  if (argc == 2 && option == "--version") {
    print(stdout, screen::kTitle);
    print(stdout, "\n");
  } else if (argc == 2 && option == "--help") {
    print(stdout, kUsage);
    print(stdout, kHelp);
  } else {
    // The first word that is not an option on its own.
    const bool known = option == "--version" || option == "--help";
    std::fprintf(stderr, "deradu: unexpected argument: %s\n", argv[known ? 2 : 1]);
    print(stderr, kUsage);
    return kUsageExitCode;
  }
  // A full disk or a closed pipe is a failure too, not a printed answer.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "deradu: cannot write to standard output\n");
    return kUsageExitCode;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  openMissingStandardStreams();
  // A write to a closed pipe (a stderr whose reader has gone) fails with EPIPE instead of ending
  // the game without its settings.
  std::signal(SIGPIPE, SIG_IGN);
  if (const int exitCode = handleArguments(argc, argv); exitCode >= 0) return exitCode;
  // Outside the try, so that a failure for want of memory can still be told in words.
  std::unique_ptr<TextRenderer> text;
  try {
    // The last run's font answer serves while nothing it depends on has changed. Otherwise
    // fontconfig reads its whole configuration, the largest single part of a start, and a
    // broken configuration can crash or hang it: it runs in a child process, started before
    // any thread, and its answer is awaited on a helper thread while the application, the
    // display connection and the window are made. The game itself stays on this thread, and
    // the host takes the renderer before the first paint.
    const std::string fontCache = fontCacheFile(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
    FontSearch fontChild(fontCache);
    const ResourceStore& resources = ResourceStore::builtIn();
    auto findFont = [&fontChild, glyphs = keptGlyphsFile(fontCache)] {
      return std::make_unique<TextRenderer>(fontChild.answer(), glyphs);
    };
    std::future<std::unique_ptr<TextRenderer>> fontSearch;
    try {
      fontSearch = std::async(fontChild.answered() ? std::launch::deferred : std::launch::async,
                              findFont);
    } catch (const std::system_error&) {
      // No thread to be had (a tight memory limit leaves no room for its stack): the search
      // runs on this thread when the renderer is first wanted.
      fontSearch = std::async(std::launch::deferred, findFont);
    }
    auto waitForText = [&fontSearch, &text]() -> TextRenderer* {
      text = fontSearch.get();
      // Without a font the text stays undrawn; the tiles and pictures need none.
      if (!text->ok()) std::fprintf(stderr, "no font found: %s\n", text->error().c_str());
      return text.get();
    };
    Application application(settingsFilePath());
    const std::unique_ptr<Host> host = makeHost(application, resources, waitForText);
    const int exitCode = application.run(*host);
    // What this run rendered spares the next start loading FreeType at all.
    if (text) text->keepGlyphs();
    return exitCode;
  } catch (const std::bad_alloc&) {
    // Nothing was written yet: the settings file is written only after the message loop,
    // through a temporary file that replaces the old one whole.
    failOnDisplay("out of memory", text.get());
  }
}
