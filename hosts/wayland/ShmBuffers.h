// Up to two wl_shm buffers, each reused once the compositor releases it; the second is made
// only when the first is still held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "hosts/wayland/BufferLayout.h"

struct wl_buffer;
struct wl_shm;

// One wl_shm buffer of width x height 32-bit pixels in `format` (a wl_shm format code), in an
// anonymous memory file of its own mapped at `pixels` for writing; buffer null and nothing
// mapped where no memory could be had. The caller unmaps `bytes` at `pixels` when done.
struct ShmMapping {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  std::size_t bytes = 0;
};
ShmMapping makeShmBuffer(wl_shm* shm, int width, int height, std::uint32_t format,
                         const char* name);

// The compositor reads a committed buffer until it releases it, so a frame is written into
// another one meanwhile. A compositor that releases a buffer once it has copied it needs one
// buffer; one that holds it until the next is attached (wlroots, weston) gets a second when a
// new picture comes while the first is held. Each buffer lives in an anonymous memory file
// (memfd_create) of its own; all are made anew when the size or the format changes.
class ShmBuffers {
 public:
  struct Buffer {
    wl_buffer* buffer = nullptr;
    std::uint32_t* pixels = nullptr;
    std::size_t bytes = 0;
    bool busy = false;
  };

  // `released` is called when a buffer comes back after acquire() found none free.
  ShmBuffers(wl_shm* shm, std::function<void()> released);
  ~ShmBuffers();
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;

  // A buffer the compositor does not hold, of width x height pixels in `format`, marked busy
  // from here on; null when all that may be made are held, or no memory could be had.
  Buffer* acquire(int width, int height, ShmFormat format);
  // The pixels of the buffer acquired last, while every buffer made is held and the size and
  // format are these: what the compositor shows, to be read, never written; null otherwise.
  const std::uint32_t* shownWhileHeld(int width, int height, ShmFormat format) const;

 private:
  static constexpr int kMost = 2;
  static void release(void* data, wl_buffer* buffer);
  bool make(Buffer& buffer);
  void drop();

  wl_shm* shm_;
  std::function<void()> released_;
  Buffer buffers_[kMost];
  int made_ = 0;
  int last_ = -1;
  int width_ = 0;
  int height_ = 0;
  ShmFormat format_ = ShmFormat::kXrgb8888;
  bool waiting_ = false;
};
