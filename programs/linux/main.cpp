// The Linux program's entry: one application object and one X11 host for the whole run.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <new>
#include <system_error>

#include "app/Application.h"
#include "gfx/resources/ResourceStore.h"
#include "gfx/FontLookup.h"
#include "gfx/TextRenderer.h"
#include "hosts/x11/X11Host.h"
#include "platform/hostConstants.h"

int main() {
  // A write to a closed pipe (a stderr whose reader has gone) fails with EPIPE instead of ending
  // the game without its settings.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    const ResourceStore& resources = ResourceStore::builtIn();
    // Finding and opening the font (fontconfig reads its whole configuration unless the last
    // run's answer still holds) is the largest single part of the start and touches nothing of
    // the game's, so it runs on a helper thread while the application, the X connection and
    // the window are made. The game itself stays on this thread; the host takes the renderer
    // before the first paint. Nothing changes the environment meanwhile.
    const std::string fontCache =
        fontCacheFile(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
    auto findFont = [&fontCache] {
      return std::make_unique<TextRenderer>(findSystemFonts(fontCache));
    };
    std::future<std::unique_ptr<TextRenderer>> fontSearch;
    try {
      fontSearch = std::async(std::launch::async, findFont);
    } catch (const std::system_error&) {
      // No thread to be had (a tight memory limit leaves no room for its stack): the search
      // runs on this thread when the renderer is first wanted.
      fontSearch = std::async(std::launch::deferred, findFont);
    }
    std::unique_ptr<TextRenderer> text;
    auto waitForText = [&fontSearch, &text]() -> TextRenderer* {
      text = fontSearch.get();
      // Without a font the text stays undrawn; the tiles and pictures need none.
      if (!text->ok()) std::fprintf(stderr, "no font found: %s\n", text->error().c_str());
      return text.get();
    };
    Application application;
    X11Host host(application, &resources, waitForText, &resources.icon());
    return application.run(host);
  } catch (const std::bad_alloc&) {
    // Nothing was written yet: the settings file is written only after the message loop,
    // through a temporary file that replaces the old one whole.
    std::fprintf(stderr, "deradu: out of memory\n");
    return host::kFatalExitCode;
  }
}
