// Where each system's program keeps its settings file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The settings file of this system's program, found where the system keeps it (the environment
// on Linux, the shell's machine-wide application-data folder on Windows); nothing when the
// system cannot say, and the program then keeps no settings. One source file per system
// implements it (SettingsPathPosix.cpp, SettingsPathWin32.cpp).
std::optional<std::filesystem::path> settingsFilePath();

#ifndef _WIN32
// ${XDG_CONFIG_HOME:-$HOME/.config}/qor/revaziriv/revAziriv.ini. The caller passes the two
// environment values (null when unset). XDG_CONFIG_HOME counts only when it is an absolute path,
// HOME likewise; when neither is usable there is no path, and the program keeps no settings.
std::optional<std::string> linuxSettingsPath(const char* xdgConfigHome, const char* home);
#endif
