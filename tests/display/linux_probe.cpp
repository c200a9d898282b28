// A window procedure that logs every message it gets from the Linux host, for the host's tests.
#include <poll.h>

#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/messages.h"
#include "hosts/x11/X11Host.h"

namespace {

// Set by the key Z: the next wait without a timeout raises SIGTERM just before it starts, the
// moment a signal is easiest to sleep through.
bool gSignalBeforeSleep = false;

}  // namespace

// The host's waits, through the linker's --wrap (see CMakeLists.txt).
extern "C" int __real_poll(pollfd* watched, nfds_t count, int timeout);
extern "C" int __wrap_poll(pollfd* watched, nfds_t count, int timeout) {
  if (gSignalBeforeSleep && timeout < 0) {
    gSignalBeforeSleep = false;
    std::raise(SIGTERM);
  }
  return __real_poll(watched, count, timeout);
}

namespace {

// Colours the probe paints, COLORREF 0x00BBGGRR: the whole client area, then a marker at the
// top-left and one at the bottom-right corner so a screenshot shows both edges of the client.
constexpr Colour kBackground = 0x00204080;
constexpr Colour kMarker = 0x0000FF00;
constexpr int kMarkerSize = 10;

class Probe final : public WindowProcedure {
 public:
  Host* host = nullptr;
  bool topmost = false;
  // Whether the probe tells the host that a tick would change nothing.
  bool idle = false;
  long ticks = 0;
  std::chrono::steady_clock::time_point firstTick;
  std::chrono::steady_clock::time_point lastTick;

  std::intptr_t windowProc(std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override {
    const auto bits = static_cast<std::uint32_t>(lParam);
    const unsigned x = bits & 0xFFFFu;
    const unsigned y = bits >> 16;
    switch (message) {
      case msg::kCreate: {
        host->setTimer(111, 1);
        host->resizeWindow({477, 426});
        const Size client = host->clientSize();
        log("create client %d %d", client.width, client.height);
        return 1;
      }
      case msg::kPaint:
        paint(host->beginPaint());
        host->endPaint();
        log("paint");
        return 1;
      case msg::kTimer:
        if (ticks++ == 0) firstTick = std::chrono::steady_clock::now();
        lastTick = std::chrono::steady_clock::now();
        if (wParam != 111) log("timer with id %lu", static_cast<unsigned long>(wParam));
        return 1;
      case msg::kKeyDown:
        log("key 0x%02lX", static_cast<unsigned long>(wParam));
        command(static_cast<int>(wParam));
        return 1;
      case msg::kMouseMove:
        log("move %u %u", x, y);
        return 1;
      case msg::kLeftButtonDown:
        log("down %u %u left %d", x, y, host->isLeftButtonDown() ? 1 : 0);
        return 1;
      case msg::kLeftButtonUp:
        log("up %u %u", x, y);
        return 1;
      case msg::kRightButtonDown:
        log("rdown %u %u", x, y);
        return 1;
      case msg::kClose:
        log("close");
        return msg::kDefault;
      case msg::kDestroy: {
        const Point position = host->windowPosition();
        log("destroy position %d %d", position.x, position.y);
        host->postQuit(0);
        return 1;
      }
      default:
        return msg::kDefault;
    }
  }

  bool isIdle() const override { return idle; }

  void log(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::printf("\n");
    std::fflush(stdout);
  }

 private:
  void paint(Canvas& canvas) {
    const Size client = host->clientSize();
    canvas.rectangle({0, 0, client.width, client.height}, {kBackground, 0}, kBackground);
    canvas.rectangle({0, 0, kMarkerSize, kMarkerSize}, {kMarker, 0}, kMarker);
    canvas.rectangle(
        {client.width - kMarkerSize, client.height - kMarkerSize, client.width, client.height},
        {kMarker, 0}, kMarker);
  }

  // Keys that make the probe call the host, so a script can exercise each service.
  void command(int key) {
    const Size client = host->clientSize();
    switch (key) {
      case 'W':
        host->resizeWindow({client.width == 471 ? 870 : 477, 426});
        log("client %d %d", host->clientSize().width, host->clientSize().height);
        break;
      case 'O':
        host->setOpacity(190);
        break;
      case 'T':
        topmost = !topmost;
        host->setTopmost(topmost);
        break;
      case 'U':
        host->openUrl("http://www.example.invalid/deradu/index.php?v=1.0u");
        break;
      case 'P': {
        const Point position = host->windowPosition();
        log("position %d %d", position.x, position.y);
        break;
      }
      case 'D':
        // GetDC outside WM_PAINT, as the tick paints.
        paint(host->getDC());
        host->releaseDC();
        break;
      case 'Z':
        gSignalBeforeSleep = true;
        break;
      case 'F':
        X11Host::fail("The probe failed on purpose.");
      default:
        break;
    }
  }
};

}  // namespace

// Arguments: x y topmost alpha mode (all optional). The mode "idle" says every tick would
// change nothing, so the host sleeps without a timeout; "early" ends before the window is made.
int main(int argc, char** argv) {
  const int x = argc > 1 ? std::atoi(argv[1]) : 0;
  const int y = argc > 2 ? std::atoi(argv[2]) : 0;
  const bool topmost = argc > 3 && std::atoi(argv[3]) != 0;
  const int alpha = argc > 4 ? std::atoi(argv[4]) : 255;
  const std::string mode = argc > 5 ? argv[5] : "";

  // As the program does: the URL opener must not inherit it.
  std::signal(SIGPIPE, SIG_IGN);
  Probe probe;
  X11Host host(probe, nullptr, [] { return nullptr; });
  probe.host = &host;
  probe.topmost = topmost;
  probe.idle = mode == "idle";
  const Size screen = host.fullScreenSize();
  probe.log("screen %d %d", screen.width, screen.height);
  if (mode == "early") return 1;
  if (!host.createWindow("Qor Deradu 1.0", {x, y})) return 3;
  host.setTopmost(topmost);
  host.setOpacity(static_cast<std::uint8_t>(alpha));
  host.showWindow();
  probe.log("shown");
  const int quitCode = host.runMessageLoop();
  const auto span =
      std::chrono::duration_cast<std::chrono::milliseconds>(probe.lastTick - probe.firstTick);
  probe.log("ended %d ticks %ld over %lld ms", quitCode, probe.ticks,
            static_cast<long long>(span.count()));
  return 1;
}
