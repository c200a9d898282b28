// The bitmaps and the icon built into the Linux program, found by id.
#include "gfx/resources/ResourceStore.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/hostConstants.h"
#include "gfx/resources/EmbeddedResources.h"
#include "gfx/codecs/BmpDecoder.h"

ResourceStore::ResourceStore() : ResourceStore(embeddedResources()) {}

ResourceStore::ResourceStore(std::span<const EmbeddedResource> resources) {
  for (const EmbeddedResource& resource : resources) {
    if (resource.kind == ResourceKind::bitmap) {
      Entry& entry = bitmaps_.emplace_back();
      entry.id = resource.id & 0xFFFF;
      entry.file = resource.bytes;
      const auto size = static_cast<std::size_t>(std::max(resource.width, 0)) *
                        static_cast<std::size_t>(std::max(resource.height, 0));
      if (size > 0 && resource.pixels.size() >= size) {
        entry.decoded = true;
        entry.view = BitmapView{resource.width, resource.height, resource.pixels.first(size)};
      }
    } else if (resource.id == host::kIconId) {
      // The window gets its icon before the first paint, so it is decoded at once.
      icon_.id = resource.id;
      if (auto image = decodeIcon(resource.bytes)) {
        icon_.pixels = std::move(image->pixels);
        icon_.view = BitmapView{image->width, image->height, icon_.pixels};
      }
    }
  }
  std::sort(bitmaps_.begin(), bitmaps_.end(),
            [](const Entry& first, const Entry& second) { return first.id < second.id; });
}

const ResourceStore& ResourceStore::builtIn() {
  static const ResourceStore kStore;
  return kStore;
}

const BitmapView* ResourceStore::find(int id) const {
  const int key = static_cast<int>(static_cast<std::uint32_t>(id) & 0xFFFFu);
  const auto found =
      std::lower_bound(bitmaps_.begin(), bitmaps_.end(), key,
                       [](const Entry& entry, int wanted) { return entry.id < wanted; });
  if (found == bitmaps_.end() || found->id != key) {
    return nullptr;
  }
  if (!found->decoded) {
    found->decoded = true;
    if (auto image = decodeBmp(found->file)) {
      found->pixels = std::move(image->pixels);
      found->view = BitmapView{image->width, image->height, found->pixels};
    }
  }
  return found->view.width > 0 ? &found->view : nullptr;
}

std::vector<int> ResourceStore::bitmapIds() const {
  std::vector<int> ids;
  for (const Entry& entry : bitmaps_) {
    ids.push_back(entry.id);
  }
  return ids;
}

std::span<const std::uint8_t> ResourceStore::iconFile() {
  for (const EmbeddedResource& resource : embeddedResources()) {
    if (resource.kind == ResourceKind::icon && resource.id == host::kIconId) {
      return resource.bytes;
    }
  }
  return {};
}
