// The Wayland seat's pointer and keyboard, as the game window and the error dialog hear them.
#pragma once

#include <cstdint>
#include <memory>

#include "hosts/wayland/WaylandKeyboard.h"

class WaylandClient;
struct wl_buffer;
struct wl_keyboard;
struct wl_pointer;
struct wl_surface;

// Makes the pointer and the keyboard as the seat announces them, again when one leaves the
// seat and comes back (a virtual keyboard that joins for a moment). Positions are logical
// surface pixels, rounded down (a drag just left of the surface is at -1). Keys arrive as
// virtual-key codes (WaylandKeyboard.h); repeats are for the event loop to send.
class WaylandSeat {
 public:
  class Listener {
   public:
    // `surface` is the one the pointer is now over.
    virtual void pointerEntered(const wl_surface* surface, int x, int y) = 0;
    virtual void pointerLeft() = 0;
    virtual void pointerMoved(int x, int y) = 0;
    // evdev button codes (BTN_LEFT ...).
    virtual void pointerButton(std::uint32_t serial, std::uint32_t button, bool pressed) = 0;
    // A press of a key with a code (never 0).
    virtual void keyPressed(int virtualKey) = 0;

   protected:
    ~Listener() = default;
  };

  // Listens to the client's seat from now on; the listener must outlive the seat.
  WaylandSeat(WaylandClient& client, Listener& listener);
  ~WaylandSeat();
  WaylandSeat(const WaylandSeat&) = delete;
  WaylandSeat& operator=(const WaylandSeat&) = delete;

  WaylandKeyboard& keyboard() { return keyboard_; }
  // The scale of the pointer image shown over the window from the next enter on.
  void setArrowScale(int scale) { arrowScale_ = scale; }

 private:
  struct Callbacks;
  void capabilities(std::uint32_t caps);
  // A Wayland client chooses its own pointer image; without one the compositor may keep
  // whatever the pointer showed before (a resize arrow from another window's edge).
  void showArrow(std::uint32_t serial);

  WaylandClient& client_;
  Listener& listener_;
  WaylandKeyboard keyboard_;
  wl_pointer* pointer_ = nullptr;
  wl_keyboard* keyboardDevice_ = nullptr;
  int arrowScale_ = 1;
  // Drawn at the first enter, and again for a new scale.
  wl_buffer* arrow_ = nullptr;
  int arrowBlock_ = 0;
  wl_surface* cursorSurface_ = nullptr;
};
