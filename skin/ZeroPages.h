// One zero-filled object of plain integers in memory that costs nothing until it is written.
#pragma once

#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// For the large fixed arrays of which the program sets a few entries. A zero-initialised
// member writes every page of its array, and the page then stays resident. The C library
// serves a block of 256 kB by mapping fresh zero pages (glibc from 128 kB on) and knows that
// calloc need not clear them, so only the pages the program writes cost memory; a smaller
// block would come from the heap and be cleared. Hence the request is never smaller; the pages
// past the object are never touched. Neither copied nor moved, so a reference to the object
// stays valid for the holder's life.
template <typename T>
class ZeroPages {
  // calloc runs no constructor, so T must need none; it holds integers, whose zero is all-zero
  // bytes.
  static_assert(std::is_trivially_default_constructible_v<T> &&
                std::is_trivially_destructible_v<T>);

 public:
  ZeroPages()
      : block_(static_cast<T*>(std::calloc(1, sizeof(T) > kLeast ? sizeof(T) : kLeast))) {
    if (!block_) throw std::bad_alloc();
  }
  ZeroPages(const ZeroPages&) = delete;
  ZeroPages& operator=(const ZeroPages&) = delete;

  T& operator*() const { return *block_; }
  T* operator->() const { return block_.get(); }

 private:
  static constexpr std::size_t kLeast = 256 * 1024;
  struct Free {
    void operator()(T* block) const { std::free(block); }
  };
  std::unique_ptr<T, Free> block_;
};
