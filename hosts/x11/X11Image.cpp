// The window's picture on the server side: a canvas-sized image put with MIT-SHM or XPutImage.
#include "hosts/x11/X11Image.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "hosts/x11/ShmRequests.h"

namespace {

// Set by the error handler while a segment is being attached; a refused attach (a remote
// connection, or a server that cannot reach the segment) shows only as an X error.
bool gAttachFailed = false;
int noteAttachError(Display*, XErrorEvent*) {
  gAttachFailed = true;
  return 0;
}

}  // namespace

X11Image::X11Image(Display* display, Visual* visual, int depth)
    : display_(display), visual_(visual), depth_(depth) {
  colour_ = visual->c_class == TrueColor || visual->c_class == DirectColor;
  // Black and white are all a visual without colour channels is sure to show; the fatal-error
  // dialog meets one on a display that cannot show the game.
  shmOpcode_ = colour_ ? shmOpcode(display) : 0;
  shmOffered_ = shmOpcode_ != 0;
  direct_ = colour_ && depth == 24 && visual->red_mask == 0xFF0000 &&
            visual->green_mask == 0x00FF00 && visual->blue_mask == 0x0000FF;
  const int screen = DefaultScreen(display);
  black_ = BlackPixel(display, screen);
  white_ = WhitePixel(display, screen);
}

X11Image::~X11Image() { release(); }

void X11Image::release() {
  if (shmImage_ != nullptr) {
    if (display_ != nullptr) shmDetach(display_, shmOpcode_, segment_);
    // XDestroyImage must not free the segment itself.
    shmImage_->data = nullptr;
    XDestroyImage(shmImage_);
    shmImage_ = nullptr;
    shmdt(segment_.address);
    segment_ = {};
  }
  if (converted_ != nullptr) {
    converted_->data = nullptr;  // ours, not malloc's
    XDestroyImage(converted_);
    converted_ = nullptr;
  }
  converter_.reset();
  plainReady_ = false;
  width_ = 0;
  height_ = 0;
}

bool X11Image::attachShared(int width, int height) {
  // Lines padded to 32 bits, as the server reads a segment's image.
  shmImage_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                           static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (shmImage_ == nullptr) return false;
  const std::size_t bytes =
      static_cast<std::size_t>(shmImage_->bytes_per_line) * static_cast<std::size_t>(height);
  segment_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* address = segment_.shmid >= 0 ? shmat(segment_.shmid, nullptr, 0) : nullptr;
  if (address == nullptr || address == reinterpret_cast<void*>(-1)) {
    if (segment_.shmid >= 0) shmctl(segment_.shmid, IPC_RMID, nullptr);
    XDestroyImage(shmImage_);
    shmImage_ = nullptr;
    return false;
  }
  segment_.address = static_cast<char*>(address);
  shmImage_->data = segment_.address;
  gAttachFailed = false;
  XErrorHandler previous = XSetErrorHandler(noteAttachError);
  shmAttach(display_, shmOpcode_, segment_);
  XSync(display_, False);
  XSetErrorHandler(previous);
  // Marked for removal now, so the segment goes with the process however it ends.
  shmctl(segment_.shmid, IPC_RMID, nullptr);
  if (gAttachFailed) {
    shmImage_->data = nullptr;
    XDestroyImage(shmImage_);
    shmImage_ = nullptr;
    shmdt(segment_.address);
    segment_ = {};
    // Not offered after all: a later size does not try again.
    shmOffered_ = false;
    return false;
  }
  return true;
}

std::span<std::uint32_t> X11Image::prepare(int width, int height) {
  release();
  if (width <= 0 || height <= 0) return {};
  width_ = width;
  height_ = height;
  if (!shmOffered_ || !attachShared(width, height)) {
    if (!direct_) makeConverted(width, height);
    return {};
  }
  if (!direct_) {
    converter_.emplace(shmImage_->red_mask, shmImage_->green_mask, shmImage_->blue_mask,
                       shmImage_->bits_per_pixel, shmImage_->byte_order == MSBFirst);
    return {};
  }
  // The canvas draws straight into the segment when its rows are the segment's.
  if (shmImage_->bytes_per_line != width * 4 || shmImage_->bits_per_pixel != 32 ||
      (shmImage_->byte_order == MSBFirst) != (std::endian::native == std::endian::big)) {
    return {};
  }
  return {reinterpret_cast<std::uint32_t*>(shmImage_->data),
          static_cast<std::size_t>(width) * static_cast<std::size_t>(height)};
}

bool X11Image::makeConverted(int width, int height) {
  // Xlib picks the server's bits per pixel for the depth and the row length.
  converted_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                            nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height),
                            32, 0);
  if (converted_ == nullptr) return false;
  convertedData_.assign(static_cast<std::size_t>(converted_->bytes_per_line) *
                            static_cast<std::size_t>(height),
                        0);
  converted_->data = convertedData_.data();
  converter_.emplace(converted_->red_mask, converted_->green_mask, converted_->blue_mask,
                     converted_->bits_per_pixel, converted_->byte_order == MSBFirst);
  return true;
}

void X11Image::convertInto(XImage& image, std::span<const std::uint32_t> pixels, int width,
                           int height) {
  if (!converter_) return;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * width;
    if (colour_ && converter_->usable()) {
      converter_->convertRow(row, image.data + static_cast<std::size_t>(y) * image.bytes_per_line,
                             width);
      continue;
    }
    // A format the converter cannot write, or no colours: pixel by pixel, through Xlib.
    for (int x = 0; x < width; ++x) XPutPixel(&image, x, y, pixelValue(row[x]));
  }
}

unsigned long X11Image::pixelValue(std::uint32_t rgb) const {
  if (colour_) return converter_->value(rgb);
  const std::uint32_t sum = ((rgb >> 16) & 0xFF) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF);
  return sum >= 3 * 128 ? white_ : black_;
}

void X11Image::update(std::span<const std::uint32_t> pixels, int width, int height) {
  if (width <= 0 || height <= 0 ||
      pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    release();
    return;
  }
  if (width != width_ || height != height_) prepare(width, height);
  if (shmImage_ != nullptr) {
    if (!direct_) {
      convertInto(*shmImage_, pixels, width, height);
      return;
    }
    // Drawn in place: nothing to copy.
    if (pixels.data() == reinterpret_cast<const std::uint32_t*>(shmImage_->data)) return;
    const auto rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
      std::memcpy(shmImage_->data + static_cast<std::size_t>(y) * shmImage_->bytes_per_line,
                  pixels.data() + static_cast<std::size_t>(y) * width, rowBytes);
    }
    return;
  }
  if (!direct_) {
    if (converted_ != nullptr) convertInto(*converted_, pixels, width, height);
    return;
  }
  // The canvas's own buffer, described once per frame; XInitImage fills in the functions.
  plain_ = {};
  plain_.width = width;
  plain_.height = height;
  plain_.format = ZPixmap;
  // Xlib only reads the buffer.
  plain_.data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(pixels.data()));
  plain_.byte_order = LSBFirst;
  plain_.bitmap_unit = 32;
  plain_.bitmap_bit_order = LSBFirst;
  plain_.bitmap_pad = 32;
  plain_.depth = 24;
  plain_.bytes_per_line = width * 4;
  plain_.bits_per_pixel = 32;
  plain_.red_mask = visual_->red_mask;
  plain_.green_mask = visual_->green_mask;
  plain_.blue_mask = visual_->blue_mask;
  plainReady_ = XInitImage(&plain_) != 0;
}

void X11Image::put(::Window window, GC gc, int x, int y, int width, int height) {
  if (display_ == nullptr) return;
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + width, width_);
  const int bottom = std::min(y + height, height_);
  if (right <= left || bottom <= top) return;
  const auto w = static_cast<unsigned>(right - left);
  const auto h = static_cast<unsigned>(bottom - top);
  if (shmImage_ != nullptr) {
    shmPutImage(display_, shmOpcode_, window, gc, *shmImage_, segment_, left, top, w, h);
    // The server reads the segment after the request; the next frame must not overwrite it
    // before then.
    XSync(display_, False);
  } else if (converted_ != nullptr) {
    XPutImage(display_, window, gc, converted_, left, top, left, top, w, h);
  } else if (plainReady_) {
    XPutImage(display_, window, gc, &plain_, left, top, left, top, w, h);
  }
}
