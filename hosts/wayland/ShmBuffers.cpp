// Up to two wl_shm buffers, each reused once the compositor releases it; the second is made
// only when the first is still held.
#include "hosts/wayland/ShmBuffers.h"

#include <sys/mman.h>
#include <unistd.h>

#include <utility>

#include "hosts/wayland/WaylandLibrary.h"

ShmBuffers::ShmBuffers(wl_shm* shm, std::function<void()> released)
    : shm_(shm), released_(std::move(released)) {}

ShmBuffers::~ShmBuffers() { drop(); }

void ShmBuffers::drop() {
  // The compositor has copied or still maps what it shows; destroying a held buffer is allowed,
  // and its memory stays valid for the compositor until it lets go of its own mapping.
  for (Buffer& buffer : buffers_) {
    if (buffer.buffer != nullptr) wl_buffer_destroy(buffer.buffer);
    if (buffer.pixels != nullptr) munmap(buffer.pixels, buffer.bytes);
    if (buffer.file >= 0) close(buffer.file);
    buffer = {};
  }
  made_ = 0;
  drawn_ = -1;
}

ShmMapping makeShmBuffer(wl_shm* shm, int width, int height, std::uint32_t format,
                         const char* name, int* file) {
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  const int fd = memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd < 0) return {};
  void* memory = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) {
    memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (memory == MAP_FAILED) {
    close(fd);
    return {};
  }
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes));
  wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height,
                                                static_cast<std::int32_t>(stride), format);
  // The buffer keeps the pool's memory; the pool is needed no longer, the file only to map the
  // memory again.
  wl_shm_pool_destroy(pool);
  if (file != nullptr) {
    *file = fd;
  } else {
    close(fd);
  }
  return {buffer, static_cast<std::uint32_t*>(memory), bytes};
}

bool ShmBuffers::make(Buffer& buffer) {
  if (buffer.buffer != nullptr) {
    // Given back while held: its memory is still in its file.
    void* memory = mmap(nullptr, buffer.bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE,
                        buffer.file, 0);
    if (memory == MAP_FAILED) return false;
    buffer.pixels = static_cast<std::uint32_t*>(memory);
    return true;
  }
  const ShmMapping made = makeShmBuffer(shm_, width_, height_, static_cast<std::uint32_t>(format_),
                                        "deradu-frame", &buffer.file);
  if (made.buffer == nullptr) return false;
  buffer.buffer = made.buffer;
  buffer.pixels = made.pixels;
  buffer.bytes = made.bytes;
  static const wl_buffer_listener listener = {.release = release};
  wl_buffer_add_listener(buffer.buffer, &listener, this);
  return true;
}

int chooseBuffer(std::span<const bool> held, int last, int most) {
  const int made = static_cast<int>(held.size());
  if (last >= 0 && last < made && !held[static_cast<std::size_t>(last)]) return last;
  for (int i = 0; i < made; ++i) {
    if (!held[static_cast<std::size_t>(i)]) return i;
  }
  // Every buffer made is on screen: another one, while fewer than `most` are made.
  return made < most ? made : -1;
}

ShmBuffers::Buffer* ShmBuffers::choose(int width, int height, ShmFormat format) {
  if (width <= 0 || height <= 0) return nullptr;
  if (width != width_ || height != height_ || format != format_) {
    drop();
    width_ = width;
    height_ = height;
    format_ = format;
  }
  bool held[kMost] = {};
  for (int i = 0; i < made_; ++i) held[i] = buffers_[i].busy;
  const int chosen =
      chooseBuffer(std::span<const bool>(held, static_cast<std::size_t>(made_)), drawn_, kMost);
  if (chosen < 0) return nullptr;
  if (chosen == made_) ++made_;
  Buffer& buffer = buffers_[chosen];
  if (buffer.pixels == nullptr && !make(buffer)) return nullptr;
  return &buffer;
}

ShmBuffers::Buffer* ShmBuffers::fresh(int width, int height, ShmFormat format) {
  for (int i = 0; i < made_; ++i) {
    Buffer& buffer = buffers_[i];
    if (!buffer.busy || buffer.pixels == nullptr) continue;
    munmap(buffer.pixels, buffer.bytes);
    buffer.pixels = nullptr;
  }
  return drawable(width, height, format);
}

ShmBuffers::Buffer* ShmBuffers::drawable(int width, int height, ShmFormat format) {
  Buffer* buffer = choose(width, height, format);
  drawn_ = buffer != nullptr ? static_cast<int>(buffer - buffers_) : -1;
  return buffer;
}

ShmBuffers::Buffer* ShmBuffers::acquire(int width, int height, ShmFormat format) {
  Buffer* buffer = choose(width, height, format);
  // Both buffers are still on screen: the next release presents.
  if (buffer == nullptr) {
    waiting_ = true;
    return nullptr;
  }
  buffer->busy = true;
  return buffer;
}

void ShmBuffers::release(void* data, wl_buffer* released) {
  auto& self = *static_cast<ShmBuffers*>(data);
  for (Buffer& buffer : self.buffers_) {
    if (buffer.buffer != released) continue;
    buffer.busy = false;
  }
  if (self.waiting_) {
    self.waiting_ = false;
    if (self.released_) self.released_();
  }
}
