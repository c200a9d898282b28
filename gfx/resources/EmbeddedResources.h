// The bytes of the files of res/, built into the program by id (generated from deradu.rc).
#pragma once

#include <cstdint>
#include <span>

enum class ResourceKind { bitmap, icon };

struct EmbeddedResource {
  int id = 0;
  ResourceKind kind = ResourceKind::bitmap;
  // The whole file: a BMP with its file header, or an ICO.
  std::span<const std::uint8_t> bytes;
};

// Every resource that deradu.rc lists, in its order.
std::span<const EmbeddedResource> embeddedResources();
