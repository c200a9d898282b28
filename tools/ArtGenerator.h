// Every bitmap and the icon of the program, drawn and encoded as the files of res/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/Image.h"

class TextRenderer;

// How a picture is stored: a bitmap or the icon of deradu.rc, a PNG for the desktop's icon
// theme, or a 24-bit BMP the installer shows; the programs themselves never load the last two.
enum class ArtFormat { Bitmap, Icon, DesktopIcon, InstallerPage };

struct Artwork {
  // The resource id; 0 for desktop icons.
  int id = 0;
  // Bitmaps only. 8: stored with a palette; 24: true colour.
  int bitsPerPixel = 24;
  ArtFormat format = ArtFormat::Bitmap;
  Image picture{0, 0};
  // The file under res/, as deradu.rc names it.
  std::string fileName;
  // Desktop icons only: each pixel's opacity (0..1), rows top-down.
  std::vector<double> alpha;
};

struct GeneratedFile {
  std::string fileName;
  std::vector<std::uint8_t> bytes;
};

// The pictures in ascending id order, the icon first, then the desktop icons from the same
// design, smallest first (res/icon-<size>.png, with alpha), and the installer's page picture. Drawing depends only on the renderer's
// font files: no clock, no unseeded randomness.
std::vector<Artwork> drawArtwork(TextRenderer& text);
// The BMP, ICO and PNG files, deradu.rc listing the resources among them, and the installer's
// icon deradu-setup.ico holding several of the desktop icons' PNG files.
std::vector<GeneratedFile> encodeArtwork(const std::vector<Artwork>& artwork);
