// The bitmaps and the icon built into the Linux program, found by id.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/Bitmap.h"

struct EmbeddedResource;

// Stands in for the Windows program's resource section. The program's own bitmaps were decoded
// when it was built, so their pixels are read where they lie in its read-only data; a bitmap
// handed as a file is decoded the first time it is asked for. Pixels then stay unchanged for the
// store's lifetime. Not thread-safe, as the program draws on one thread.
class ResourceStore final : public BitmapSource {
 public:
  // The program's own files.
  ResourceStore();
  // These files instead; their bytes must outlive the store.
  explicit ResourceStore(std::span<const EmbeddedResource> resources);
  ResourceStore(const ResourceStore&) = delete;
  ResourceStore& operator=(const ResourceStore&) = delete;

  // The program's store, made on first use and kept to the end of the process: like a
  // resource section it reads as constant, so sharing it hides no state.
  static const ResourceStore& builtIn();

  // The bitmap whose id is the low 16 bits of `id`, or nullptr when there is none or its file
  // does not decode (the icon's id names no bitmap, as LoadBitmapA finds none under an icon's
  // id either).
  const BitmapView* find(int id) const override;

  // Ids of every built-in bitmap, ascending.
  std::vector<int> bitmapIds() const;

  // The window icon (id 100), 32 x 32, 0x00RRGGBB rows top-down; empty if it is missing.
  const BitmapView& icon() const { return icon_.view; }
  // The icon file itself, as built in.
  static std::span<const std::uint8_t> iconFile();

 private:
  struct Entry {
    int id = 0;
    std::span<const std::uint8_t> file;
    // Filled by the first find() for a file; the view points into `pixels`, whose buffer never
    // moves once it is filled, or into the program's own decoded bitmap.
    mutable bool decoded = false;
    mutable std::vector<std::uint32_t> pixels;
    mutable BitmapView view;
  };

  // Sorted by id.
  std::vector<Entry> bitmaps_;
  Entry icon_;
};
