// Every bitmap and the icon of the program, drawn and encoded as the files of res/.
#include "tools/ArtGenerator.h"

#include <algorithm>
#include <array>
#include <utility>

#include "gfx/codecs/BmpEncoder.h"
#include "gfx/codecs/PngWriter.h"
#include "tools/AppIcon.h"
#include "tools/IndexedImage.h"
#include "tools/Panels.h"
#include "tools/Tiles.h"
#include "tools/TitleIcons.h"

namespace {

constexpr int kIconId = 100;
constexpr int kNumberedBase = 699;
constexpr int kPictureBase = 715;
constexpr int kPictureBlank = 731;
constexpr int kWindowIconSize = 32;
// The sizes Windows asks an installer's icon for, at 100 to 200 % and in Explorer.
constexpr std::array<int, 5> kInstallerIconSizes{16, 24, 32, 48, 256};

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An ICO file whose images are PNG files (Windows reads them since Vista), in the given order.
std::vector<std::uint8_t> pngIcon(const std::vector<std::pair<int, std::vector<std::uint8_t>>>& images) {
  std::vector<std::uint8_t> out;
  putLittleEndian(out, 0, 2);
  putLittleEndian(out, 1, 2);
  putLittleEndian(out, static_cast<std::uint32_t>(images.size()), 2);
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const auto& [size, png] : images) {
    // Width and height: 0 means 256. No palette, one plane, 32 bits, the PNG's size and place.
    putLittleEndian(out, static_cast<std::uint32_t>(size) & 0xFF, 1);
    putLittleEndian(out, static_cast<std::uint32_t>(size) & 0xFF, 1);
    putLittleEndian(out, 0, 2);
    putLittleEndian(out, 1, 2);
    putLittleEndian(out, 32, 2);
    putLittleEndian(out, static_cast<std::uint32_t>(png.size()), 4);
    putLittleEndian(out, offset, 4);
    offset += static_cast<std::uint32_t>(png.size());
  }
  for (const auto& image : images) out.insert(out.end(), image.second.begin(), image.second.end());
  return out;
}

Artwork bitmap(int id, int bitsPerPixel, Image picture) {
  return Artwork{id, bitsPerPixel, ArtFormat::Bitmap, std::move(picture),
                 "bmp" + std::to_string(id) + ".bmp", {}};
}

std::string resourceScript(const std::vector<Artwork>& artwork) {
  std::string script =
      "// The program's bitmaps and icon by numeric id. Written by deradu-generate-art.\n"
      "#include <winresrc.h>\n"
      "\n"
      "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
      "\n";
  for (const Artwork& art : artwork) {
    if (art.format == ArtFormat::DesktopIcon || art.format == ArtFormat::InstallerPage) continue;
    script += std::to_string(art.id) + (art.format == ArtFormat::Icon ? " ICON \"" : " BITMAP \"") +
              art.fileName + "\"\n";
  }
  return script;
}

}  // namespace

std::vector<Artwork> drawArtwork(TextRenderer& text) {
  std::vector<Artwork> artwork;
  artwork.push_back(
      Artwork{kIconId, 24, ArtFormat::Icon, appIconPicture(kWindowIconSize), "deradu.ico", {}});
  artwork.push_back(bitmap(101, 24, backgroundPicture()));
  artwork.push_back(bitmap(602, 24, bannerPicture(text)));
  artwork.push_back(bitmap(607, 24, sidePanelPicture()));
  artwork.push_back(bitmap(614, 8, pinPicture(false)));
  artwork.push_back(bitmap(615, 8, pinPicture(true)));
  artwork.push_back(bitmap(616, 24, titleBarPicture()));
  artwork.push_back(bitmap(617, 8, helpPicture(text, false)));
  artwork.push_back(bitmap(618, 8, helpPicture(text, true)));
  artwork.push_back(bitmap(619, 24, buttonFacePicture(false)));
  artwork.push_back(bitmap(620, 24, buttonFacePicture(true)));
  artwork.push_back(bitmap(632, 8, transparencyPicture(text, false)));
  artwork.push_back(bitmap(633, 8, transparencyPicture(text, true)));
  for (int value = 1; value <= 15; ++value) {
    // Only the first numbered tile is stored with a palette, like the blanks.
    artwork.push_back(
        bitmap(kNumberedBase + value, value == 1 ? 8 : 24, numberedTile(text, value)));
  }
  artwork.push_back(bitmap(kPictureBase, 8, blankTile()));
  for (int value = 1; value <= 15; ++value) {
    artwork.push_back(bitmap(kPictureBase + value, 24, swirlPiece(value)));
  }
  artwork.push_back(bitmap(kPictureBlank, 8, blankTile()));
  for (const int size : kDesktopIconSizes) {
    IconPicture icon = desktopIconPicture(size);
    artwork.push_back(Artwork{0, 24, ArtFormat::DesktopIcon, std::move(icon.colour),
                              "icon-" + std::to_string(size) + ".png", std::move(icon.alpha)});
  }
  artwork.push_back(
      Artwork{0, 24, ArtFormat::InstallerPage, installerPagePicture(), "installer-page.bmp", {}});
  return artwork;
}

std::vector<GeneratedFile> encodeArtwork(const std::vector<Artwork>& artwork) {
  std::vector<GeneratedFile> files;
  std::vector<std::pair<int, std::vector<std::uint8_t>>> installerIcon;
  for (const Artwork& art : artwork) {
    const int width = art.picture.width();
    const int height = art.picture.height();
    const std::vector<std::uint32_t> pixels = art.picture.packed();
    std::vector<std::uint8_t> bytes;
    if (art.format == ArtFormat::DesktopIcon) {
      const IconPicture icon{art.picture, art.alpha};
      bytes = PngWriter::encodeRgba(icon.packedArgb(), width, height);
      if (std::find(kInstallerIconSizes.begin(), kInstallerIconSizes.end(), width) !=
          kInstallerIconSizes.end()) {
        installerIcon.emplace_back(width, bytes);
      }
    } else if (art.format == ArtFormat::Icon) {
      bytes = encodeIcon24(width, height, pixels);
    } else if (art.bitsPerPixel == 8) {
      const IndexedImage indexed = toIndexed(width, height, pixels);
      bytes = encodeBmp8(indexed.width, indexed.height, indexed.palette, indexed.indices);
    } else {
      bytes = encodeBmp24(width, height, pixels);
    }
    files.push_back(GeneratedFile{art.fileName, std::move(bytes)});
  }
  if (!installerIcon.empty()) {
    files.push_back(GeneratedFile{"deradu-setup.ico", pngIcon(installerIcon)});
  }
  const std::string script = resourceScript(artwork);
  files.push_back(
      GeneratedFile{"deradu.rc", std::vector<std::uint8_t>(script.begin(), script.end())});
  return files;
}
