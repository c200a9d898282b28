// Commands, keys and the tick: what the player's input does to the screen, and when it repaints.
#pragma once

#include "platform/host.h"

class Screen;

// What the next tick would bring up to date. The tick acts on exactly this, and the program is
// idle when none of it is pending, so a host that stops ticking while idle misses nothing.
struct PendingWork {
  // The board is in order and not yet counted as completed (Solve never counts).
  bool completion = false;
  bool movesLabel = false;
  // The banner's visibility disagrees with the completion, counting a pending one.
  bool banner = false;
  // A widget is dirty or a repaint was requested.
  bool repaint = false;

  bool any() const { return completion || movesLabel || banner || repaint; }
};

class Controller {
 public:
  explicit Controller(Screen& screen) : screen_(screen) {}
  Controller(const Controller&) = delete;
  Controller& operator=(const Controller&) = delete;

  // A released button's command; the ids are the screen table's.
  void command(Host& host, int commandId);
  // A key press (virtual-key code), after the board has seen it.
  void keyboard(Host& host, int key);
  // The timer: brings the game and its labels up to date and repaints when something changed.
  void tick(Host& host);
  PendingWork pendingWork() const;

  // Asks the next tick for one repaint; the tick's repaint clears it.
  void requestRedraw() { redrawRequest_ = 1; }
  int redrawRequest() const { return redrawRequest_; }

 private:
  void newGameAtLevel(Host& host, int level);
  void solve();
  void openHelpPage(Host& host);

  Screen& screen_;
  int redrawRequest_ = 0;
};
