// Up to two wl_shm buffers, each reused once the compositor releases it; the second is made
// only when the first is still held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "hosts/wayland/BufferLayout.h"

struct wl_buffer;
struct wl_shm;

// One wl_shm buffer of width x height 32-bit pixels in `format` (a wl_shm format code), in an
// anonymous memory file of its own mapped at `pixels` for writing; buffer null and nothing
// mapped where no memory could be had. The caller unmaps `bytes` at `pixels` when done; given
// `file`, it gets the memory file there, open, to map it again later, and closes it when done.
struct ShmMapping {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  std::size_t bytes = 0;
};
ShmMapping makeShmBuffer(wl_shm* shm, int width, int height, std::uint32_t format,
                         const char* name, int* file = nullptr);

// Which buffer the next picture goes into, of those made (`held`: whether the compositor holds
// each): `last`, the one drawn into last, while it is free, so that nothing needs carrying over;
// else the first free one; else a new one (index held.size()) while fewer than `most` are made;
// -1 while every buffer that may be made is held. A held buffer is never chosen.
int chooseBuffer(std::span<const bool> held, int last, int most);

// The compositor reads a committed buffer until it releases it, so a frame is written into
// another one meanwhile. A compositor that releases a buffer once it has copied it needs one
// buffer; one that holds it until the next is attached (wlroots, weston) gets a second when a
// new picture comes while the first is held. Each buffer lives in an anonymous memory file
// (memfd_create) of its own; all are made anew when the size or the format changes. The canvas
// may draw straight into one (drawable()), never into one the compositor holds. A picture that
// defines every pixel itself needs none of the held ones (fresh()): they are unmapped first, so
// one full-size buffer is resident, not two, and mapped again from their memory files once
// released, so that a repaint reuses pages that exist rather than making new ones.
class ShmBuffers {
 public:
  struct Buffer {
    wl_buffer* buffer = nullptr;
    // Null while unmapped: a held buffer given back (fresh()), or released since; choose()
    // maps it again from `file`.
    std::uint32_t* pixels = nullptr;
    std::size_t bytes = 0;
    int file = -1;
    bool busy = false;
  };

  // `released` is called when a buffer comes back after acquire() found none free.
  ShmBuffers(wl_shm* shm, std::function<void()> released);
  ~ShmBuffers();
  ShmBuffers(const ShmBuffers&) = delete;
  ShmBuffers& operator=(const ShmBuffers&) = delete;

  // A buffer the compositor does not hold, of width x height pixels in `format`, to draw the
  // next picture straight into (chooseBuffer, with the one given here last); null when all that
  // may be made are held, or no memory could be had. Its content is whatever it held: the caller
  // carries the picture over when it gets another buffer.
  Buffer* drawable(int width, int height, ShmFormat format);
  // The same for a picture that writes every pixel: each held buffer is unmapped first (the
  // compositor keeps its own mapping, and nothing writes it while it is held), so the held
  // picture stays on screen until the next is attached.
  Buffer* fresh(int width, int height, ShmFormat format);
  // The same, but the one drawable() gave preferred only while it is free, and marked busy from
  // here on: the buffer attached next.
  Buffer* acquire(int width, int height, ShmFormat format);
  // Whether the buffer drawable() gave last was acquired since and is still held: the compositor
  // shows it, and nothing was drawn after it, as drawing starts with drawable().
  bool drawnShown() const { return drawn_ >= 0 && buffers_[drawn_].busy; }

 private:
  static constexpr int kMost = 2;
  static void release(void* data, wl_buffer* buffer);
  Buffer* choose(int width, int height, ShmFormat format);
  bool make(Buffer& buffer);
  void drop();

  wl_shm* shm_;
  std::function<void()> released_;
  Buffer buffers_[kMost];
  int made_ = 0;
  // The buffer drawable() gave last; -1 when it gave none.
  int drawn_ = -1;
  int width_ = 0;
  int height_ = 0;
  ShmFormat format_ = ShmFormat::kXrgb8888;
  bool waiting_ = false;
};
