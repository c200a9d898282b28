// libwayland-client opened at run time: include this instead of <wayland-client.h>.
#include "hosts/wayland/WaylandLibrary.h"

#include "gfx/SharedLibrary.h"

WaylandFunctions gWayland;

bool openWaylandLibrary(const char* soname) {
  if (gWayland.wl_proxy_get_version != nullptr) return true;
  // Never closed (SharedLibrary keeps its handle), as the functions taken from it must stay.
  const SharedLibrary library(soname);
  return library.bindTable(gWayland, [&library](WaylandFunctions& table) {
    bool all = true;
    DERADU_WAYLAND_FUNCTIONS(DERADU_BIND_SLOT)
    return all;
  });
}
