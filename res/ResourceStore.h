// The bitmaps and the icon built into the Linux program, decoded once and found by numeric id.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/soft/Bitmap.h"

// Stands in for the Windows program's resource section: every bitmap is decoded once, when the
// store is made, and its pixels stay unchanged for the store's lifetime.
class ResourceStore final : public BitmapSource {
 public:
  ResourceStore();
  ResourceStore(const ResourceStore&) = delete;
  ResourceStore& operator=(const ResourceStore&) = delete;

  // The program's store, made on first use and kept to the end of the process: like a
  // resource section it is read-only, so sharing it hides no state.
  static const ResourceStore& builtIn();

  // The bitmap whose id is the low 16 bits of `id`, or nullptr when there is none (the icon's
  // id names no bitmap, as LoadBitmapA finds none under an icon's id either).
  const BitmapView* find(int id) const override;

  // Ids of every bitmap, ascending.
  std::vector<int> bitmapIds() const;

  // The window icon (id 100), 32 x 32, 0x00RRGGBB rows top-down; empty if it is missing.
  const BitmapView& icon() const { return icon_.view; }
  // The icon file itself, as built in.
  static std::span<const std::uint8_t> iconFile();

 private:
  struct Decoded {
    int id = 0;
    std::vector<std::uint32_t> pixels;
    BitmapView view;
  };

  // Sorted by id.
  std::vector<Decoded> bitmaps_;
  Decoded icon_;
};
