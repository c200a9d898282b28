// The bitmaps and the icon built into the Linux program, decoded on first use and found by id.
#include "gfx/resources/ResourceStore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/hostConstants.h"
#include "gfx/resources/EmbeddedResources.h"
#include "gfx/codecs/BmpDecoder.h"

namespace {

std::uintptr_t address(const std::uint8_t* byte) { return reinterpret_cast<std::uintptr_t>(byte); }

// Gives back every page that the address range [begin, end) touches. Only for the program's own
// files: they lie in the executable's read-only data, a file mapping never written, so a page
// there (a neighbour's bytes included) reads the same again from the page cache after it is
// given back. Never for bytes the store was handed, which may be heap memory that this would zero.
void releasePages(std::uintptr_t begin, std::uintptr_t end) {
  static const auto kPage = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t first = begin / kPage * kPage;
  const std::uintptr_t last = (end + kPage - 1) / kPage * kPage;
  // Advice only: if it is refused, the pages merely stay resident.
  if (first < last) madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
}

}  // namespace

ResourceStore::ResourceStore() : ResourceStore(embeddedResources()) {
  ownFirst_ = UINTPTR_MAX;
  for (const EmbeddedResource& resource : embeddedResources()) {
    ownFirst_ = std::min(ownFirst_, address(resource.bytes.data()));
    ownEnd_ = std::max(ownEnd_, address(resource.bytes.data() + resource.bytes.size()));
  }
}

ResourceStore::ResourceStore(std::span<const EmbeddedResource> resources) {
  for (const EmbeddedResource& resource : resources) {
    if (resource.kind == ResourceKind::bitmap) {
      Entry& entry = bitmaps_.emplace_back();
      entry.id = resource.id & 0xFFFF;
      entry.file = resource.bytes;
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
    // The file is never read again, and a file and its decoded copy need not be resident
    // together. The whole span of the files is given back, as the kernel maps the cached
    // neighbours of each page read, those of files decoded before included.
    if (ownEnd_ > 0) releasePages(ownFirst_, ownEnd_);
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
