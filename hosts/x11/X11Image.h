// The window's picture on the server side: a canvas-sized image put with MIT-SHM or XPutImage.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "hosts/x11/PixelConverter.h"
#include "hosts/x11/ShmRequests.h"
#include "hosts/x11/Xlib.h"

// Holds the last frame the program painted and puts any part of it into the window. Where the
// server offers MIT-SHM and the segment can be attached (a local connection), frames go through
// shared memory, which the canvas can draw into directly; otherwise through the connection with
// XPutImage, straight from the canvas's buffer. That direct path serves a 24-bit TrueColor
// visual with the canvas's 0x00RRGGBB layout; for any other TrueColor visual (15, 16 or 30 bits,
// other masks) each frame is converted to the visual's format in an image of its own. On a
// visual without colour channels light pixels are white and dark ones black.
class X11Image {
 public:
  // `depth` is the visual's depth, which its window has.
  X11Image(Display* display, Visual* visual, int depth);
  ~X11Image();
  X11Image(const X11Image&) = delete;
  X11Image& operator=(const X11Image&) = delete;

  // Makes the image for frames of this size. Returns the shared segment's pixels for the canvas
  // to draw into, or nothing where frames go through the connection; either way the old
  // segment is gone.
  std::span<std::uint32_t> prepare(int width, int height);
  // Takes the frame: copies it into the shared segment unless it was drawn there, or keeps a
  // view of `pixels`, which must then stay valid until the next update or prepare.
  void update(std::span<const std::uint32_t> pixels, int width, int height);
  // Puts the rectangle of the last frame into `window` at the same place, clipped to the frame.
  void put(::Window window, GC gc, int x, int y, int width, int height);
  bool sharedMemory() const { return shmImage_ != nullptr; }
  // Whether frames go as the canvas holds them, with no conversion.
  bool direct() const { return direct_; }

 private:
  void release();
  bool attachShared(int width, int height);
  // The image frames are converted into, without MIT-SHM.
  bool makeConverted(int width, int height);
  void convertInto(XImage& image, std::span<const std::uint32_t> pixels, int width, int height);
  unsigned long pixelValue(std::uint32_t rgb) const;

  Display* display_;
  Visual* visual_;
  int depth_;
  // Whether the visual has colour channels (TrueColor or DirectColor).
  bool colour_ = false;
  bool direct_ = false;
  unsigned long black_ = 0;
  unsigned long white_ = 0;
  int shmOpcode_ = 0;
  bool shmOffered_ = false;
  int width_ = 0;
  int height_ = 0;
  // MIT-SHM: the image and its segment. Without it, the frame lives in plain_.
  XImage* shmImage_ = nullptr;
  ShmSegment segment_;
  XImage plain_{};
  bool plainReady_ = false;
  // Without MIT-SHM on a visual that needs conversion: the converted frame and its image.
  XImage* converted_ = nullptr;
  std::vector<char> convertedData_;
  std::optional<PixelConverter> converter_;
};
