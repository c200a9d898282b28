// libX11 opened at run time, and the table Xlib.h's names reach.
// The names here are Xlib's own, not the table's.
#define DERADU_XLIB_TABLE_FILLER
#include "hosts/x11/Xlib.h"

#include <cstdlib>

#include "gfx/SharedLibrary.h"

namespace xlib {
namespace {

struct Library {
  SharedLibrary library;
  Functions functions;
  bool ok = false;
};

Library open() {
  // DERADU_LIBX11 names another library: the tests name one that does not exist to play a
  // system without X11.
  const char* wanted = std::getenv("DERADU_LIBX11");
  const bool named = wanted != nullptr && wanted[0] != '\0';
  Library opened{SharedLibrary(named ? wanted : kSoname), {}, false};
  const SharedLibrary& library = opened.library;
  // A libX11 without one of them is none: no call may reach a null slot.
  opened.ok = library.bindTable(opened.functions, [&library](Functions& table) {
    bool all = true;
    DERADU_XLIB_FUNCTIONS(DERADU_BIND_SLOT)
    return all;
  });
  return opened;
}

const Library& library() {
  static const Library opened = open();
  return opened;
}

}  // namespace

bool available() { return library().ok; }

const Functions& functions() { return library().functions; }

}  // namespace xlib
