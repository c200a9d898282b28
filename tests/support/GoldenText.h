// The text renderer for drawings compared with golden images: the pinned faces, by path.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/TextRenderer.h"
#include "tools/PinnedFonts.h"

// One renderer for every test, like the system's font cache. A missing file fails the calling
// test by name rather than letting another face draw text that cannot match.
inline TextRenderer& goldenText() {
  for (const char* file : {pinned::kRegularFont, pinned::kBoldFont}) {
    if (!std::filesystem::exists(file)) {
      ADD_FAILURE() << "the golden images were drawn with " << file
                    << ", which is missing (Debian package fonts-dejavu-core)";
    }
  }
  static TextRenderer text(pinned::kRegularFont, pinned::kBoldFont);
  return text;
}
