// Where the Linux program keeps its settings file, following the XDG base-directory rules.
#include "settings/SettingsPath.h"

#include <cstdlib>
#include <string_view>
#include <utility>

namespace {

bool isAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

// The folder without trailing slashes, so that "/" becomes "" and joins as "/...".
std::string_view withoutTrailingSlashes(std::string_view folder) {
  while (!folder.empty() && folder.back() == '/') {
    folder.remove_suffix(1);
  }
  return folder;
}

}  // namespace

std::optional<std::string> linuxSettingsPath(const char* xdgConfigHome, const char* home) {
  std::string configHome;
  if (isAbsolute(xdgConfigHome)) {
    configHome = withoutTrailingSlashes(xdgConfigHome);
  } else if (isAbsolute(home)) {
    configHome = withoutTrailingSlashes(home);
    configHome += "/.config";
  } else {
    return std::nullopt;
  }
  return configHome + "/qor/revaziriv/revAziriv.ini";
}

std::optional<std::filesystem::path> settingsFilePath() {
  std::optional<std::string> path =
      linuxSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  if (!path) return std::nullopt;
  return std::filesystem::path(std::move(*path));
}
