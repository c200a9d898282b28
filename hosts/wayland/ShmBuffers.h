// Two wl_shm buffers in one shared-memory pool, each reused once the compositor releases it.
#pragma once

#include <cstdint>
#include <functional>

#include "hosts/wayland/BufferLayout.h"

struct wl_buffer;
struct wl_shm;

// The compositor reads a committed buffer until it releases it, so a frame is written into the
// other one meanwhile. The pool lives in an anonymous memory file (memfd_create) and is made
// anew when the size or the format changes.
class ShmBuffers {
 public:
  struct Buffer {
    wl_buffer* buffer = nullptr;
    std::uint32_t* pixels = nullptr;
    bool busy = false;
  };

  // `released` is called when a buffer comes back after acquire() found none free.
  ShmBuffers(wl_shm* shm, std::function<void()> released);
  ~ShmBuffers();
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;

  // A buffer the compositor does not hold, of width x height pixels in `format`, marked busy
  // from here on; null when both are held, or no memory could be had.
  Buffer* acquire(int width, int height, ShmFormat format);

 private:
  static constexpr int kCount = 2;
  static void release(void* data, wl_buffer* buffer);
  void drop();

  wl_shm* shm_;
  std::function<void()> released_;
  Buffer buffers_[kCount];
  void* memory_ = nullptr;
  std::size_t size_ = 0;
  int width_ = 0;
  int height_ = 0;
  ShmFormat format_ = ShmFormat::kXrgb8888;
  bool waiting_ = false;
};
