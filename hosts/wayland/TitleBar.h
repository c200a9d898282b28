// The title bar the Wayland host draws itself where the compositor leaves decorations to it.
#pragma once

#include <string>

class Canvas;

// A bar above the client area, drawn with the same canvas as the game: the title, a minimise
// and a close button. It is drawn, not borrowed from a decoration library: libdecor's plugins
// load a toolkit's worth of libraries (cairo and pango, or GTK) into a program whose start-up
// time and memory are held to a bare client's, and whose canvas already draws this look.
// Logical pixels.
class TitleBar {
 public:
  static constexpr int kHeight = 24;

  enum class Part { kNone, kBar, kMinimise, kClose };

  // Which part of a bar `width` wide is at (x, y); kNone below the bar.
  static Part partAt(int x, int y, int width);

  // The whole bar, `width` wide: the title centred, darker while the window is not the active
  // one, and the button `pressed` (kNone for none) drawn pushed in.
  static void draw(Canvas& canvas, int width, const std::string& title, bool active, Part pressed);
};
