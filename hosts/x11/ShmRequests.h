// The MIT-SHM requests the window's picture is put with, made over Xlib's own connection.
#pragma once

#include "hosts/x11/Xlib.h"

// A System V segment as the server knows it.
struct ShmSegment {
  XID id = 0;  // the server's name for it, from shmAttach on
  int shmid = -1;
  char* address = nullptr;
};

// The extension's major opcode, which the other requests take; 0 where the server lacks it.
int shmOpcode(Display* display);
// Names the segment (segment.id) and asks the server to attach it, read and write. A refusal (a
// remote connection, a server that cannot reach the segment) comes as an X error.
void shmAttach(Display* display, int opcode, ShmSegment& segment);
void shmDetach(Display* display, int opcode, const ShmSegment& segment);
// Puts the part of `image` (whose data is the segment's start) at x, y, width x height into the
// same place of `drawable`, with no completion event.
void shmPutImage(Display* display, int opcode, Drawable drawable, GC gc, const XImage& image,
                 const ShmSegment& segment, int x, int y, unsigned width, unsigned height);
