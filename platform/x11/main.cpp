// The Linux program's entry: one application object and one X11 host for the whole run.
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/Application.h"
#include "platform/soft/TextRenderer.h"
#include "platform/x11/X11Host.h"
#include "res/ResourceStore.h"

int main() {
  try {
    const ResourceStore& resources = ResourceStore::builtIn();
    // Without a font the text stays undrawn; the tiles and pictures need none.
    TextRenderer text;
    if (!text.ok()) std::fprintf(stderr, "no font found: %s\n", text.error().c_str());
    Application application;
    X11Host host(application, &resources, &text, &resources.icon());
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
