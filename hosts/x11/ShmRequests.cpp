// The MIT-SHM requests the window's picture is put with, made over Xlib's own connection.
//
// libXext would make them for us, and be mapped at every start for three requests that have no
// reply. Xlib's request interface (what libXext itself is written on) sends them just as well.
#include "hosts/x11/ShmRequests.h"

#include "hosts/x11/Xlib.h"
// After Xlibint.h, which it needs.
#include <X11/extensions/shmproto.h>

int shmOpcode(Display* display) {
  int opcode = 0;
  int firstEvent = 0;
  int firstError = 0;
  if (XQueryExtension(display, SHMNAME, &opcode, &firstEvent, &firstError) == False) return 0;
  return opcode;
}

void shmAttach(Display* dpy, int opcode, ShmSegment& segment) {
  LockDisplay(dpy);
  auto* req = static_cast<xShmAttachReq*>(_XGetRequest(dpy, X_ShmAttach, sz_xShmAttachReq));
  if (req != nullptr) {
    req->reqType = static_cast<CARD8>(opcode);
    req->shmReqType = X_ShmAttach;
    segment.id = XAllocID(dpy);
    req->shmseg = static_cast<CARD32>(segment.id);
    req->shmid = static_cast<CARD32>(segment.shmid);
    req->readOnly = xFalse;
    req->pad0 = 0;
    req->pad1 = 0;
  }
  UnlockDisplay(dpy);
  SyncHandle();
}

void shmDetach(Display* dpy, int opcode, const ShmSegment& segment) {
  LockDisplay(dpy);
  auto* req = static_cast<xShmDetachReq*>(_XGetRequest(dpy, X_ShmDetach, sz_xShmDetachReq));
  if (req != nullptr) {
    req->reqType = static_cast<CARD8>(opcode);
    req->shmReqType = X_ShmDetach;
    req->shmseg = static_cast<CARD32>(segment.id);
  }
  UnlockDisplay(dpy);
  SyncHandle();
}

void shmPutImage(Display* dpy, int opcode, Drawable drawable, GC gc, const XImage& image,
                 const ShmSegment& segment, int x, int y, unsigned width, unsigned height) {
  LockDisplay(dpy);
  // The GC's changes Xlib keeps back go first.
  FlushGC(dpy, gc);
  auto* req =
      static_cast<xShmPutImageReq*>(_XGetRequest(dpy, X_ShmPutImage, sz_xShmPutImageReq));
  if (req != nullptr) {
    req->reqType = static_cast<CARD8>(opcode);
    req->shmReqType = X_ShmPutImage;
    req->drawable = static_cast<CARD32>(drawable);
    req->gc = static_cast<CARD32>(gc->gid);
    req->totalWidth = static_cast<CARD16>(image.width);
    req->totalHeight = static_cast<CARD16>(image.height);
    req->srcX = static_cast<CARD16>(x);
    req->srcY = static_cast<CARD16>(y);
    req->srcWidth = static_cast<CARD16>(width);
    req->srcHeight = static_cast<CARD16>(height);
    req->dstX = static_cast<INT16>(x);
    req->dstY = static_cast<INT16>(y);
    req->depth = static_cast<CARD8>(image.depth);
    req->format = static_cast<CARD8>(image.format);
    req->sendEvent = xFalse;
    req->bpad = 0;
    req->shmseg = static_cast<CARD32>(segment.id);
    req->offset = 0;
  }
  UnlockDisplay(dpy);
  SyncHandle();
}
