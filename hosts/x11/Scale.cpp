// The scale from the environment and the X resources.
#include "hosts/x11/Scale.h"

#include "hosts/x11/Xlib.h"

#include <X11/Xresource.h>

#include <algorithm>
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

}  // namespace

int chooseScale(const char* gdkScale, const char* resources) {
  long asked = 0;
  if (gdkScale != nullptr && parseWhole(gdkScale, SoftCanvas::kMaxScale, asked) && asked > 0) {
    return static_cast<int>(asked);
  }
  if (resources == nullptr) return 1;
  XrmInitialize();
  XrmDatabase database = XrmGetStringDatabase(resources);
  if (database == nullptr) return 1;
  char* type = nullptr;
  XrmValue value{};
  double dpi = 0;
  int scale = 1;
  if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) == True &&
      value.addr != nullptr && parseDpi(std::string_view(value.addr), dpi)) {
    scale = std::clamp(static_cast<int>((dpi + 48) / 96), 1, SoftCanvas::kMaxScale);
  }
  XrmDestroyDatabase(database);
  return scale;
}

int displayScale(_XDisplay* display) {
  return chooseScale(std::getenv("GDK_SCALE"), XResourceManagerString(display));
}
