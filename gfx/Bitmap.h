// Decoded bitmaps for the software canvas, found by their resource id.
#pragma once

#include <cstdint>
#include <span>

// Pixels are 0x00RRGGBB, rows top-down, `width * height` of them.
struct BitmapView {
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> pixels;
};

// The software canvas's stand-in for a module's resource section.
class BitmapSource {
 public:
  // The bitmap with this id (the low 16 bits are used), or nullptr when there is none.
  virtual const BitmapView* find(int id) const = 0;

 protected:
  ~BitmapSource() = default;
};
