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

  // Fills a table of function pointers (see DERADU_FUNCTION_SLOT) through `bindEach(table)`,
  // which binds each slot with `bind` and is true when all were found: the whole table, or,
  // when the library or any function is missing, an empty one and false. No call can then
  // land on a slot left null.
  template <typename Table, typename BindEach>
  bool bindTable(Table& table, BindEach bindEach) const {
    Table bound{};
    const bool complete = ok() && bindEach(bound);
    table = complete ? bound : Table{};
    return complete;
  }

 private:
  void* handle_;
};

// One slot of a table of a library's functions, typed by the library's own header and named
// after the function: a list macro LIST(X) naming them gives
//   struct Table { LIST(DERADU_FUNCTION_SLOT) };
// and, in bindTable's `bindEach` (a lambda taking `Table& table`, with `library` in reach),
//   bool all = true; LIST(DERADU_BIND_SLOT) return all;
#define DERADU_FUNCTION_SLOT(name) decltype(&::name) name = nullptr;
#define DERADU_BIND_SLOT(name) all = library.bind(table.name, #name) && all;
