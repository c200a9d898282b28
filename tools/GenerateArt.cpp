// deradu-generate-art: draws every bitmap and the icon and writes them with deradu.rc into a
// folder (normally res/). Run by hand when the artwork changes; the build never runs it.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "gfx/TextRenderer.h"
#include "tools/ArtGenerator.h"
#include "tools/IndexedImage.h"
#include "tools/PinnedFonts.h"

namespace {

// The committed pictures were drawn with the pinned faces; asking for their files by name keeps
// the output the same on a machine whose fontconfig prefers another sans-serif face.
TextRenderer makeTextRenderer() {
  if (std::filesystem::exists(pinned::kRegularFont) && std::filesystem::exists(pinned::kBoldFont)) {
    return TextRenderer(pinned::kRegularFont, pinned::kBoldFont);
  }
  return TextRenderer();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  TextRenderer text = makeTextRenderer();
  if (!text.ok()) {
    std::fprintf(stderr, "no font for the artwork: %s\n", text.error().c_str());
    return 1;
  }
  std::printf("font: %s\n", text.fontFile(700).c_str());
  const std::vector<Artwork> artwork = drawArtwork(text);
  for (const Artwork& art : artwork) {
    if (art.bitsPerPixel == 8 && !fitsPalette(art.picture.packed())) {
      std::fprintf(stderr, "warning: %s has more than 256 colours; it takes the fixed palette\n",
                   art.fileName.c_str());
    }
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  for (const GeneratedFile& file : encodeArtwork(artwork)) {
    const std::filesystem::path path = folder / file.fileName;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.bytes.data()),
              static_cast<std::streamsize>(file.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%-12s %8zu bytes\n", file.fileName.c_str(), file.bytes.size());
  }
  return 0;
}
