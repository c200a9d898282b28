// The RandR 1.5 GetMonitors request, made over Xlib's own connection.
//
// libXrandr would make this one request for us, but it brings libXrender with it: two more
// libraries mapped at every start, for one request and its reply. Xlib's request interface
// (what libXrandr itself is written on) sends it just as well.
#include "hosts/x11/MonitorRequest.h"

#include <cstddef>
#include <cstring>

#include "hosts/x11/Xlib.h"
// After Xlibint.h, which it needs.
#include <X11/extensions/randrproto.h>

namespace {

// A reply longer than this is no list of monitors (each is 24 bytes and a few outputs).
constexpr unsigned long kMostWords = 64 * 1024;

// The server's RandR version as it answers ours (1.5, the first with monitors); false on an
// error reply.
bool queryVersion(Display* dpy, int opcode, CARD32& major, CARD32& minor) {
  auto* req =
      static_cast<xRRQueryVersionReq*>(_XGetRequest(dpy, X_RRQueryVersion, sz_xRRQueryVersionReq));
  if (req == nullptr) return false;
  req->reqType = static_cast<CARD8>(opcode);
  req->randrReqType = X_RRQueryVersion;
  req->majorVersion = 1;
  req->minorVersion = 5;
  xRRQueryVersionReply rep{};
  if (_XReply(dpy, reinterpret_cast<xReply*>(&rep), 0, xTrue) == 0) return false;
  major = rep.majorVersion;
  minor = rep.minorVersion;
  return true;
}

// The active monitors: the reply's fixed part, then each monitor followed by its outputs.
std::vector<ListedMonitor> getMonitors(Display* dpy, int opcode, ::Window root) {
  auto* req =
      static_cast<xRRGetMonitorsReq*>(_XGetRequest(dpy, X_RRGetMonitors, sz_xRRGetMonitorsReq));
  if (req == nullptr) return {};
  req->reqType = static_cast<CARD8>(opcode);
  req->randrReqType = X_RRGetMonitors;
  req->window = static_cast<CARD32>(root);
  req->get_active = xTrue;
  req->pad = 0;
  req->pad2 = 0;
  xRRGetMonitorsReply rep{};
  if (_XReply(dpy, reinterpret_cast<xReply*>(&rep), 0, xFalse) == 0) return {};
  if (rep.length > kMostWords) {
    _XEatDataWords(dpy, rep.length);
    return {};
  }
  std::vector<unsigned char> data(static_cast<std::size_t>(rep.length) * 4);
  if (!data.empty())
    _XRead(dpy, reinterpret_cast<char*>(data.data()), static_cast<long>(data.size()));

  std::vector<ListedMonitor> monitors;
  std::size_t at = 0;
  for (CARD32 i = 0; i < rep.nmonitors; ++i) {
    if (data.size() - at < sz_xRRMonitorInfo) return {};
    xRRMonitorInfo info;
    std::memcpy(&info, data.data() + at, sz_xRRMonitorInfo);
    at += sz_xRRMonitorInfo;
    if (data.size() - at < std::size_t{info.noutput} * 4) return {};
    at += std::size_t{info.noutput} * 4;
    monitors.push_back(
        {{info.x, info.y, info.x + info.width, info.y + info.height}, info.primary != 0});
  }
  return monitors;
}

}  // namespace

static_assert(sizeof(xRRMonitorInfo) == sz_xRRMonitorInfo);

std::vector<ListedMonitor> requestMonitors(Display* display, ::Window root) {
  int opcode = 0;
  int firstEvent = 0;
  int firstError = 0;
  if (XQueryExtension(display, RANDR_NAME, &opcode, &firstEvent, &firstError) == False) return {};
  Display* dpy = display;  // the name SyncHandle expects
  std::vector<ListedMonitor> monitors;
  CARD32 major = 0;
  CARD32 minor = 0;
  LockDisplay(dpy);
  if (queryVersion(dpy, opcode, major, minor) && (major > 1 || (major == 1 && minor >= 5))) {
    monitors = getMonitors(dpy, opcode, root);
  }
  UnlockDisplay(dpy);
  SyncHandle();
  return monitors;
}
