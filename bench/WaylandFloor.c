/* The floor the Wayland host's start is measured against: a bare Wayland client that makes a
   471 x 401 xdg_toplevel (min = max, so a tiling compositor floats it as it does the game),
   fills one wl_shm buffer once, commits it on the first configure and waits for the end (a
   signal, or the compositor's close: exit code 1). On the first frame callback it says on
   stderr how long after its start (stdout is the probe's). C, built by bench/run.sh with
   nothing but libwayland-client and the xdg-shell code wayland-scanner writes, so the floor
   carries no toolkit. */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

enum { kWidth = 471, kHeight = 401 };

static struct wl_compositor* compositor;
static struct wl_shm* shm;
static struct xdg_wm_base* wmBase;
static double startMs;

static double nowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
  (void)data;
  (void)version;
  if (strcmp(interface, wl_compositor_interface.name) == 0) {
    compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
  } else if (strcmp(interface, wl_shm_interface.name) == 0) {
    shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
  } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
    wmBase = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
  }
}
static void globalRemove(void* data, struct wl_registry* registry, uint32_t name) {
  (void)data;
  (void)registry;
  (void)name;
}
static const struct wl_registry_listener registryListener = {global, globalRemove};

static void ping(void* data, struct xdg_wm_base* base, uint32_t serial) {
  (void)data;
  xdg_wm_base_pong(base, serial);
}
static const struct xdg_wm_base_listener wmBaseListener = {ping};

static void framed(void* data, struct wl_callback* callback, uint32_t time) {
  (void)data;
  (void)time;
  wl_callback_destroy(callback);
  fprintf(stderr, "wayland-floor: first frame callback %.1f ms after the start\n", nowMs() - startMs);
}
static const struct wl_callback_listener frameListener = {framed};

static struct wl_buffer* buffer;

/* The first configure: the one buffer, filled once, goes with its answer. */
static void configure(void* data, struct xdg_surface* xdgSurface, uint32_t serial) {
  struct wl_surface* surface = data;
  xdg_surface_ack_configure(xdgSurface, serial);
  if (buffer != NULL) return;
  const int stride = kWidth * 4;
  const int size = stride * kHeight;
  const int fd = memfd_create("floor", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, size) != 0) return;
  uint32_t* pixels = mmap(NULL, (size_t)size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels == MAP_FAILED) return;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) pixels[y * kWidth + x] = (uint32_t)(x * 0x010000 + y);
  }
  struct wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
  buffer = wl_shm_pool_create_buffer(pool, 0, kWidth, kHeight, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  wl_surface_attach(surface, buffer, 0, 0);
  wl_surface_damage(surface, 0, 0, kWidth, kHeight);
  wl_callback_add_listener(wl_surface_frame(surface), &frameListener, NULL);
  wl_surface_commit(surface);
}
static const struct xdg_surface_listener xdgSurfaceListener = {configure};

static void toplevelConfigure(void* data, struct xdg_toplevel* toplevel, int32_t width,
                              int32_t height, struct wl_array* states) {
  (void)data;
  (void)toplevel;
  (void)width;
  (void)height;
  (void)states;
}
/* The compositor's close ends it with the game's code for an orderly end. */
static void toplevelClose(void* data, struct xdg_toplevel* toplevel) {
  (void)data;
  (void)toplevel;
  exit(1);
}
static const struct xdg_toplevel_listener toplevelListener = {.configure = toplevelConfigure,
                                                               .close = toplevelClose};

int main(void) {
  startMs = nowMs();
  struct wl_display* display = wl_display_connect(NULL);
  if (display == NULL) return 2;
  struct wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &registryListener, NULL);
  wl_display_roundtrip(display);
  if (compositor == NULL || shm == NULL || wmBase == NULL) return 2;
  xdg_wm_base_add_listener(wmBase, &wmBaseListener, NULL);
  struct wl_surface* surface = wl_compositor_create_surface(compositor);
  struct xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(wmBase, surface);
  xdg_surface_add_listener(xdgSurface, &xdgSurfaceListener, surface);
  struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdgSurface);
  xdg_toplevel_add_listener(toplevel, &toplevelListener, NULL);
  xdg_toplevel_set_title(toplevel, "floor");
  xdg_toplevel_set_min_size(toplevel, kWidth, kHeight);
  xdg_toplevel_set_max_size(toplevel, kWidth, kHeight);
  wl_surface_commit(surface);
  while (wl_display_dispatch(display) != -1) {
  }
  return 2;
}
