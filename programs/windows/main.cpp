// The Windows program's entry: one application object and one Win32 host for the whole run.
#include <new>

#include "app/Application.h"
#include "hosts/win32/FatalErrorReport.h"
#include "hosts/win32/Win32Api.h"
#include "hosts/win32/Win32Host.h"
#include "settings/SettingsPath.h"

// The command line is not read: a window program has no console to print --help or --version
// to, and the shortcut and Explorer pass nothing; anything given still starts the game.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    Application application(settingsFilePath());
    Win32Host host(instance, application);
    return application.run(host);
  } catch (const std::bad_alloc&) {
    // The settings file is written only after the message loop, through a temporary file that
    // replaces the old one whole, so it is as it was.
    endWithFatalError(kOutOfMemoryText);
  }
}
