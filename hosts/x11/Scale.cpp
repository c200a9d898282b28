// The scale from the environment and the X resources.
#include "hosts/x11/Scale.h"

#include "hosts/x11/Xlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "gfx/SoftCanvas.h"

namespace {

// A whole number of digits only, no sign or spaces; nothing above `limit` matters.
bool parseWhole(std::string_view text, long limit, long& value) {
  if (text.empty()) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = std::min(value * 10 + (c - '0'), limit);
  }
  return true;
}

// Xft.dpi as a decimal number ("192", "144.5"); the locale's decimal point plays no part.
bool parseDpi(std::string_view text, double& dpi) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  const std::size_t point = text.find('.');
  long whole = 0;
  if (!parseWhole(text.substr(0, point), 100000, whole)) return false;
  dpi = static_cast<double>(whole);
  if (point == std::string_view::npos) return true;
  double unit = 0.1;
  for (const char c : text.substr(point + 1)) {
    if (c < '0' || c > '9') return false;
    dpi += unit * (c - '0');
    unit /= 10;
  }
  return true;
}

// The scale Xft.dpi in `resources` asks for; nothing when it is not set or not a number.
std::optional<int> dpiScale(const char* resources) {
  if (resources == nullptr) return std::nullopt;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) return std::nullopt;
  char* type = nullptr;
  XrmValue value{};
  double dpi = 0;
  std::optional<int> scale;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True &&
      value.addr != nullptr && parseDpi(std::string_view(value.addr), dpi)) {
    scale = std::clamp(static_cast<int>((dpi + 48) / 96), 1, SoftCanvas::kMaxScale);
  }
  XrmDestroyDatabase(database);
  return scale;
}

}  // namespace

int chooseScale(const char* gdkScale, const char* resources, const char* screenResources) {
  long asked = 0;
  if (gdkScale != nullptr && parseWhole(gdkScale, SoftCanvas::kMaxScale, asked) && asked > 0) {
    return static_cast<int>(asked);
  }
  return dpiScale(screenResources).value_or(dpiScale(resources).value_or(1));
}

int displayScale(_XDisplay* display) {
  // Xlib keeps RESOURCE_MANAGER from the connection's start; the screen's own resources are
  // read from its root now, and the copy is ours to free.
  char* screenResources = XScreenResourceString(DefaultScreenOfDisplay(display));
  const int scale =
      chooseScale(std::getenv("GDK_SCALE"), XResourceManagerString(display), screenResources);
  if (screenResources != nullptr) XFree(screenResources);
  return scale;
}

int fittedScale(int asked, Size client, Size frame, const Rect& area) {
  const std::int64_t width = std::int64_t{area.right} - area.left;
  const std::int64_t height = std::int64_t{area.bottom} - area.top;
  int scale = std::clamp(asked, 1, SoftCanvas::kMaxScale);
  for (; scale > 1; --scale) {
    if (std::int64_t{client.width} * scale + frame.width <= width &&
        std::int64_t{client.height} * scale + frame.height <= height) {
      break;
    }
  }
  return scale;
}

int monitorAt(std::span<const Rect> monitors, Point point) {
  for (std::size_t i = 0; i < monitors.size(); ++i) {
    const Rect& m = monitors[i];
    if (point.x >= m.left && point.x < m.right && point.y >= m.top && point.y < m.bottom) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::optional<Rect> openingArea(std::span<const Rect> monitors, std::optional<Rect> workArea,
                                Point point) {
  if (monitors.empty()) return workArea;
  const int shown = monitorAt(monitors, point);
  const Rect& monitor = monitors[static_cast<std::size_t>(std::max(shown, 0))];
  if (!workArea) return monitor;
  const Rect usable{std::max(monitor.left, workArea->left), std::max(monitor.top, workArea->top),
                    std::min(monitor.right, workArea->right),
                    std::min(monitor.bottom, workArea->bottom)};
  // A work area beside the monitor says nothing about it.
  if (usable.left >= usable.right || usable.top >= usable.bottom) return monitor;
  return usable;
}
