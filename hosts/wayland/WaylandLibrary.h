// libwayland-client opened at run time: include this instead of <wayland-client.h>.
#pragma once

#include <wayland-client-core.h>

#include "gfx/SharedLibrary.h"

// On X11 the library, and libffi with it, would be mapped at every start for nothing. Each
// function that the host and the protocol headers' inline requests call is a pointer in one
// table; the names below turn calls into calls through it (calls only, so each name stays free
// to be the table's field). The interfaces the requests name are generated into the program.
#define DERADU_WAYLAND_FUNCTIONS(X)                                                        \
  X(wl_display_connect) X(wl_display_disconnect) X(wl_display_get_fd) X(wl_display_flush) \
  X(wl_display_roundtrip) X(wl_display_dispatch) X(wl_display_dispatch_pending)           \
  X(wl_display_prepare_read) X(wl_display_read_events) X(wl_display_cancel_read)          \
  X(wl_proxy_marshal_flags) X(wl_proxy_add_listener) X(wl_proxy_destroy)                  \
  X(wl_proxy_get_version)

struct WaylandFunctions {
  DERADU_WAYLAND_FUNCTIONS(DERADU_FUNCTION_SLOT)
};

// Filled by openWaylandLibrary; all null until then.
extern WaylandFunctions gWayland;

// Opens `soname` and binds every function in the table, once per process: later calls keep
// what the first success bound. False, the table left empty, when the library or one of the
// functions is missing; Wayland then cannot start.
bool openWaylandLibrary(const char* soname);

#define wl_display_connect(...) gWayland.wl_display_connect(__VA_ARGS__)
#define wl_display_disconnect(...) gWayland.wl_display_disconnect(__VA_ARGS__)
#define wl_display_get_fd(...) gWayland.wl_display_get_fd(__VA_ARGS__)
#define wl_display_flush(...) gWayland.wl_display_flush(__VA_ARGS__)
#define wl_display_roundtrip(...) gWayland.wl_display_roundtrip(__VA_ARGS__)
#define wl_display_dispatch(...) gWayland.wl_display_dispatch(__VA_ARGS__)
#define wl_display_dispatch_pending(...) gWayland.wl_display_dispatch_pending(__VA_ARGS__)
#define wl_display_prepare_read(...) gWayland.wl_display_prepare_read(__VA_ARGS__)
#define wl_display_read_events(...) gWayland.wl_display_read_events(__VA_ARGS__)
#define wl_display_cancel_read(...) gWayland.wl_display_cancel_read(__VA_ARGS__)
#define wl_proxy_marshal_flags(...) gWayland.wl_proxy_marshal_flags(__VA_ARGS__)
#define wl_proxy_add_listener(...) gWayland.wl_proxy_add_listener(__VA_ARGS__)
#define wl_proxy_destroy(...) gWayland.wl_proxy_destroy(__VA_ARGS__)
#define wl_proxy_get_version(...) gWayland.wl_proxy_get_version(__VA_ARGS__)

#include <wayland-client-protocol.h>  // IWYU pragma: export
