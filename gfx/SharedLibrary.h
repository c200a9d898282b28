// A system library opened when a run first needs it, rather than by the loader at every start.
#pragma once

#include <dlfcn.h>

#include <utility>

// Libraries that only some runs use (the other display system's, the font search's, the font
// renderer's when its glyphs are kept) cost every start their loading and resident pages when
// linked. Opened by their soname, as the loader would have found them; the handle is kept to
// the end of the process, since closing would leave dangling the functions taken from it.
class SharedLibrary {
 public:
  // Opens `soname` ("libfreetype.so.6"); ok() tells whether it was found.
  explicit SharedLibrary(const char* soname) : handle_(dlopen(soname, RTLD_LAZY | RTLD_LOCAL)) {}
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;
  SharedLibrary(SharedLibrary&& other) noexcept
      : handle_(std::exchange(other.handle_, nullptr)) {}
  SharedLibrary& operator=(SharedLibrary&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  ~SharedLibrary() = default;

  bool ok() const { return handle_ != nullptr; }

  // Sets `slot` to the library's symbol `name`; false (and `slot` null) when it has none.
  template <typename T>
  bool bind(T*& slot, const char* name) const {
    slot = handle_ != nullptr ? reinterpret_cast<T*>(dlsym(handle_, name)) : nullptr;
    return slot != nullptr;
  }

 private:
  void* handle_;
};
