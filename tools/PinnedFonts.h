// The font files the committed artwork and the golden images were drawn with.
#pragma once

namespace pinned {

// DejaVu Sans, asked for by path: glyph shapes differ from face to face, so a machine whose
// fontconfig prefers another sans-serif face must still draw with these to match the files.
inline constexpr char kRegularFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr char kBoldFont[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

}  // namespace pinned
