// The Linux program's entry: one application object and one X11 host for the whole run.
#include <cstdio>
#include <future>
#include <memory>
#include <new>

#include "app/Application.h"
#include "platform/soft/TextRenderer.h"
#include "platform/x11/X11Host.h"
#include "res/ResourceStore.h"

int main() {
  try {
    const ResourceStore& resources = ResourceStore::builtIn();
    // Finding the font (fontconfig reads its whole configuration) is the largest single part of
    // the start and touches nothing of the game's, so it runs on a helper thread while the
    // application, the X connection and the window are made. The game itself stays on this
    // thread; the host takes the renderer before the first paint.
    std::future<std::unique_ptr<TextRenderer>> fontSearch =
        std::async(std::launch::async, [] { return std::make_unique<TextRenderer>(); });
    std::unique_ptr<TextRenderer> text;
    auto waitForText = [&fontSearch, &text]() -> TextRenderer* {
      text = fontSearch.get();
      // Without a font the text stays undrawn; the tiles and pictures need none.
      if (!text->ok()) std::fprintf(stderr, "no font found: %s\n", text->error().c_str());
      return text.get();
    };
    Application application;
    X11Host host(application, &resources, waitForText, &resources.icon());
    // The settings are stored during the WM_DESTROY the host sends first.
    host.setDisplayLostHandler([&application] { application.finish(); });
    return application.run(host);
  } catch (const std::bad_alloc&) {
    // Nothing was written yet: the settings file is written only after the message loop,
    // through a temporary file that replaces the old one whole.
    std::fprintf(stderr, "deradu: out of memory\n");
    return Application::kNoWindowExitCode;
  }
}
