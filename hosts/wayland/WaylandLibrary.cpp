// libwayland-client opened at run time: include this instead of <wayland-client.h>.
#include "hosts/wayland/WaylandLibrary.h"

#include "gfx/SharedLibrary.h"

WaylandFunctions gWayland;

bool openWaylandLibrary(const char* soname) {
  if (gWayland.wl_proxy_get_version != nullptr) return true;
  // Never closed (SharedLibrary keeps its handle), as the functions taken from it must stay.
  const SharedLibrary library(soname);
  WaylandFunctions bound;
  bool complete = library.ok();
#define DERADU_WAYLAND_BIND(name) complete = complete && library.bind(bound.name, #name);
  DERADU_WAYLAND_FUNCTIONS(DERADU_WAYLAND_BIND)
#undef DERADU_WAYLAND_BIND
  if (complete) gWayland = bound;
  return complete;
}
