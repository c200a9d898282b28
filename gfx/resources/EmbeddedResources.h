// The files of res/, built into the program by id (generated from deradu.rc).
#pragma once

#include <cstdint>
#include <span>

enum class ResourceKind { bitmap, icon };

struct EmbeddedResource {
  int id = 0;
  ResourceKind kind = ResourceKind::bitmap;
  // The whole file: an ICO, or a BMP with its file header, decoded on first use.
  std::span<const std::uint8_t> bytes;
  // A bitmap decoded when the program was built, instead of `bytes`: 0x00RRGGBB, rows top-down.
  int width = 0;
  int height = 0;
  std::span<const std::uint32_t> pixels;
};

// Every resource that deradu.rc lists, in its order.
std::span<const EmbeddedResource> embeddedResources();
