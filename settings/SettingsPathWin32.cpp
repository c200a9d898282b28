// Where the Windows program keeps its settings file: under the machine-wide application-data
// folder.
#include "settings/SettingsPath.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

std::string settingsFilePath() {
  char folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder))) return {};
  // PathAppendA puts exactly one backslash between the two parts; its result is not needed.
  PathAppendA(folder, "\\qor\\revaziriv\\");
  return std::string(folder) + "revAziriv.ini";
}
