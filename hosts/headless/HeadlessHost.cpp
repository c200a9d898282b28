// The test host's window stand-in: geometry, flags and a software frame.
#include "hosts/headless/HeadlessHost.h"

#include <algorithm>

#include "platform/messages.h"

HeadlessHost::HeadlessHost(WindowProcedure& procedure, const BitmapSource* bitmaps,
                           TextRenderer* text)
    : procedure_(procedure), frame_(0, 0, bitmaps, text) {}

std::intptr_t HeadlessHost::send(std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  if (message == msg::kLeftButtonDown) leftDown_ = true;
  if (message == msg::kLeftButtonUp) leftDown_ = false;
  return procedure_.windowProc(message, wParam, lParam);
}

void HeadlessHost::click(int x, int y) {
  send(msg::kMouseMove, 0, msg::pointParam(x, y));
  send(msg::kLeftButtonDown, 0, msg::pointParam(x, y));
  send(msg::kLeftButtonUp, 0, msg::pointParam(x, y));
}

void HeadlessHost::key(int virtualKey) {
  send(msg::kKeyDown, static_cast<std::uintptr_t>(virtualKey), 0);
}

void HeadlessHost::ticks(int count) {
  for (int i = 0; i < count; ++i) send(msg::kTimer, static_cast<std::uintptr_t>(timerId_), 0);
}

bool HeadlessHost::monitorShows(Point point) {
  if (monitors_.empty()) return true;
  for (const Rect& m : monitors_) {
    if (point.x >= m.left && point.x < m.right && point.y >= m.top && point.y < m.bottom) {
      return true;
    }
  }
  return false;
}

bool HeadlessHost::createWindow(const char*, Point position) {
  created_ = true;
  createdAt_ = position;
  position_ = position;
  procedure_.windowProc(msg::kCreate, 0, 0);
  return true;
}

void HeadlessHost::setTimer(int id, int milliseconds) {
  timerId_ = id;
  timerMilliseconds_ = milliseconds;
}

void HeadlessHost::resizeWindow(Size outer) {
  outer_ = outer;
  // The new area shows nothing meaningful until the next paint, as on a real window.
  const Size client = clientSize();
  frame_.resize(client.width * frame_.scale(), client.height * frame_.scale());
}

Size HeadlessHost::clientSize() {
  return {std::max(0, outer_.width - kFrameWidth), std::max(0, outer_.height - kFrameHeight)};
}

Canvas& HeadlessHost::beginPaint() {
  inPaint_ = true;
  return frame_;
}

void HeadlessHost::endPaint() {
  inPaint_ = false;
  ++paints_;
}

void HeadlessHost::postQuit(int exitCode) {
  quit_ = true;
  exitCode_ = exitCode;
}
