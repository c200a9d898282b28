// Two wl_shm buffers in one shared-memory pool, each reused once the compositor releases it.
#include "hosts/wayland/ShmBuffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <utility>

ShmBuffers::ShmBuffers(wl_shm* shm, std::function<void()> released)
    : shm_(shm), released_(std::move(released)) {}

ShmBuffers::~ShmBuffers() { drop(); }

void ShmBuffers::drop() {
  // The compositor has copied or still maps what it shows; destroying a held buffer is allowed,
  // and its memory stays valid for the compositor until it lets go of its own mapping.
  for (Buffer& buffer : buffers_) {
    if (buffer.buffer != nullptr) wl_buffer_destroy(buffer.buffer);
    buffer = {};
  }
  if (memory_ != nullptr) munmap(memory_, size_);
  memory_ = nullptr;
  size_ = 0;
}

ShmBuffers::Buffer* ShmBuffers::acquire(int width, int height, ShmFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  if (memory_ == nullptr || width != width_ || height != height_ || format != format_) {
    drop();
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    const std::size_t one = stride * static_cast<std::size_t>(height);
    const int fd = memfd_create("deradu-frame", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return nullptr;
    if (ftruncate(fd, static_cast<off_t>(one * kCount)) != 0) {
      close(fd);
      return nullptr;
    }
    void* memory = mmap(nullptr, one * kCount, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
      close(fd);
      return nullptr;
    }
    memory_ = memory;
    size_ = one * kCount;
    width_ = width;
    height_ = height;
    format_ = format;
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<std::int32_t>(size_));
    static const wl_buffer_listener listener = {.release = release};
    for (int i = 0; i < kCount; ++i) {
      Buffer& buffer = buffers_[i];
      buffer.buffer = wl_shm_pool_create_buffer(
          pool, static_cast<std::int32_t>(one * static_cast<std::size_t>(i)), width, height,
          static_cast<std::int32_t>(stride), static_cast<std::uint32_t>(format));
      buffer.pixels = reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(memory_) +
                                                       one * static_cast<std::size_t>(i));
      wl_buffer_add_listener(buffer.buffer, &listener, this);
    }
    // The buffers keep the pool's memory; the pool and the file are needed no longer.
    wl_shm_pool_destroy(pool);
    close(fd);
  }
  for (Buffer& buffer : buffers_) {
    if (!buffer.busy) {
      buffer.busy = true;
      return &buffer;
    }
  }
  waiting_ = true;
  return nullptr;
}

void ShmBuffers::release(void* data, wl_buffer* released) {
  auto& self = *static_cast<ShmBuffers*>(data);
  for (Buffer& buffer : self.buffers_) {
    if (buffer.buffer == released) buffer.busy = false;
  }
  if (self.waiting_) {
    self.waiting_ = false;
    if (self.released_) self.released_();
  }
}
