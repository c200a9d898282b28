// The Windows program's entry: one application object and one Win32 host for the whole run.
#include "app/Application.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Host.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Application application;
  Win32Host host(instance, application);
  host.registerWindowClass();
  return application.run(host);
}
