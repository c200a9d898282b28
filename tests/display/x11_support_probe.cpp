// Drives the X11 key map and error dialog on a real display for x11_support.sh.
//   keys            a window that prints "<keycode> <virtual key>" for every key press
//   startup         prints every startup-notification message sent to the root window
//   announce        tells the launcher that the start named by DESKTOP_STARTUP_ID is over
//   close WINDOW    sends the window WM_DELETE_WINDOW, as a window manager's close box does
//   dialog MESSAGE  the error dialog with the system's font, watching the signal pipe as the
//                   program's does; prints "closed" once it ends
//   bare MESSAGE    the same without a text renderer
//   png MESSAGE F   the dialog's picture written to the PNG file F
#include <cstdio>
#include <string>

#include "gfx/TextRenderer.h"
#include "gfx/codecs/PngWriter.h"
#include "hosts/x11/ErrorDialog.h"
#include "hosts/posix/ErrorDialogPicture.h"
#include "hosts/posix/SignalPipe.h"

// In x11_support_probe_xlib.cpp, apart from Xlib's names that clash with the canvas's.
int keys();
int startupMessages();
int announce();
int closeWindow(const char* id);

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "keys") return keys();
  if (mode == "startup") return startupMessages();
  if (mode == "announce") return announce();
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s keys | startup | announce | close WINDOW | dialog MESSAGE | bare MESSAGE | png MESSAGE FILE\n",
                 argv[0]);
    return 2;
  }
  if (mode == "close") return closeWindow(argv[2]);
  if (mode == "png" && argc == 4) {
    TextRenderer text;
    const ErrorDialogPicture picture = paintErrorDialog(argv[2], &text, false);
    return PngWriter::write(argv[3], picture.pixels, picture.width, picture.height) ? 0 : 1;
  }
  const SignalPipe signals;
  if (mode == "dialog") {
    TextRenderer text;
    showErrorDialog(argv[2], &text, signals.fd());
  } else if (mode == "bare") {
    showErrorDialog(argv[2], nullptr, signals.fd());
  } else {
    return 2;
  }
  std::printf("closed\n");
  return 0;
}
