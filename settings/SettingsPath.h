// Where the Linux program keeps its settings file, following the XDG base-directory rules.
#pragma once

#include <string>

// ${XDG_CONFIG_HOME:-$HOME/.config}/qor/revaziriv/revAziriv.ini. The caller passes the two
// environment values (null when unset). XDG_CONFIG_HOME counts only when it is an absolute path,
// HOME likewise; when neither is usable the result is empty, and the program keeps no settings.
std::string linuxSettingsPath(const char* xdgConfigHome, const char* home);
