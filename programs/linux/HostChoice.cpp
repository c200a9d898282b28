// Which display protocol the Linux program speaks, chosen at start: Wayland or X11.
#include "HostChoice.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "gfx/resources/ResourceStore.h"
#include "hosts/wayland/WaylandHost.h"
#include "hosts/x11/X11Host.h"

namespace {

// Whether the Wayland host was made; its failures then show their dialog on Wayland.
bool gOnWayland = false;

}  // namespace

std::unique_ptr<Host> makeHost(WindowProcedure& procedure, const ResourceStore& resources,
                               std::function<TextRenderer*()> text) {
  const char* forced = std::getenv("DERADU_BACKEND");
  const std::string_view choice = forced != nullptr ? forced : "";
  if (!choice.empty() && choice != "wayland" && choice != "x11") {
    std::fprintf(stderr, "deradu: DERADU_BACKEND=%s is neither wayland nor x11; ignored\n", forced);
  }
  if (choice == "x11" && X11Host::displayAvailable()) {
    return std::make_unique<X11Host>(procedure, &resources, text, &resources.icon());
  }
  if (auto wayland = WaylandHost::open(procedure, &resources, text)) {
    gOnWayland = true;
    return wayland;
  }
  return std::make_unique<X11Host>(procedure, &resources, text, &resources.icon());
}

void failOnDisplay(const std::string& message, TextRenderer* text) {
  if (gOnWayland) WaylandHost::fail(message, text);
  X11Host::fail(message, text);
}
