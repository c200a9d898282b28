// What the fatal-error dialog shows: its size, its pixels and where its OK button is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TextRenderer;

// Kept free of the canvas's headers so that the X side, whose Xlib names (Font) clash with
// them, can use it.
struct ErrorDialogPicture {
  int width = 0;
  int height = 0;
  // 0x00RRGGBB, rows top-down.
  std::vector<std::uint32_t> pixels;
  // The OK button: left and top inclusive, right and bottom exclusive, in window pixels.
  int okLeft = 0;
  int okTop = 0;
  int okRight = 0;
  int okBottom = 0;

  bool onOk(int x, int y) const { return x >= okLeft && x < okRight && y >= okTop && y < okBottom; }
};

// The message wrapped to the dialog's width (at most a few lines; a longer one ends in "..."),
// and the OK button drawn raised or, while the pointer holds it down, pressed. Without `text`,
// or with one that has no font, the dialog and the button are drawn without their text. At
// `scale` above 1 the picture is drawn that many times larger, sizes and OK in physical pixels.
ErrorDialogPicture paintErrorDialog(const std::string& message, TextRenderer* text,
                                    bool okPressed, int scale = 1);
