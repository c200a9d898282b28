// Where the Windows program keeps its settings file: under the machine-wide application-data
// folder.
#include "settings/SettingsPath.h"

#include <windows.h>

#include <shlobj.h>

std::optional<std::filesystem::path> settingsFilePath() {
  // The wide form all the way: the folder may be named in letters that no ANSI code page holds.
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder))) {
    return std::nullopt;
  }
  return std::filesystem::path(folder) / L"qor" / L"revaziriv" / L"revAziriv.ini";
}
