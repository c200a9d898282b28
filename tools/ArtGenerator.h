// Every bitmap and the icon of the program, drawn and encoded as the files of res/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/Image.h"

class TextRenderer;

struct Artwork {
  int id = 0;
  // 8: stored with a palette; 24: true colour.
  int bitsPerPixel = 24;
  bool icon = false;
  Image picture{0, 0};
  // The file under res/, as deradu.rc names it.
  std::string fileName;
};

struct GeneratedFile {
  std::string fileName;
  std::vector<std::uint8_t> bytes;
};

// The pictures in ascending id order, the icon first. Drawing depends only on the renderer's
// font files: no clock, no unseeded randomness.
std::vector<Artwork> drawArtwork(TextRenderer& text);
// The BMP and ICO files and deradu.rc listing them.
std::vector<GeneratedFile> encodeArtwork(const std::vector<Artwork>& artwork);
