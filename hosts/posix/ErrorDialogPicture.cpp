// The fatal-error dialog's layout and drawing on the software canvas.
#include "hosts/posix/ErrorDialogPicture.h"

#include <algorithm>
#include <string_view>

#include "gfx/SoftCanvas.h"
#include "gfx/TextRenderer.h"

namespace {

// Sizes of a Windows message box at 96 dpi, in pixels.
constexpr int kWidth = 380;
constexpr int kMargin = 16;
constexpr int kMaxLines = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
// The grey strip along the bottom that holds the button.
constexpr int kStripHeight = 44;
constexpr Font kMessageFont{16, 0, 400};
constexpr int kFallbackLineHeight = 16;

constexpr Colour kMessageBackground = 0xFFFFFF;
constexpr Colour kStripBackground = 0xF0F0F0;
constexpr Colour kTextColour = 0x000000;
constexpr Colour kButtonFace = 0xE1E1E1;
constexpr Colour kButtonPressedFace = 0xF7E4CC;  // COLORREF: a light blue
constexpr Colour kButtonBorder = 0xD77800;       // COLORREF: the focus blue

// DrawText takes '&' as a mnemonic prefix; the message shows every character as it is.
std::string withoutPrefixes(std::string_view line) {
  std::string shown;
  for (const char c : line) {
    shown += c;
    if (c == '&') shown += '&';
  }
  return shown;
}

// The message font as drawn at `scale`.
Font scaledFont(int scale) { return {kMessageFont.height * scale, 0, kMessageFont.weight}; }

// Breaks the message at its newlines and, within a paragraph, at spaces before the line grows
// wider than `width`; a word wider than that is broken between characters. Measured at `scale`,
// as the text is drawn.
std::vector<std::string> wrap(std::string_view message, TextRenderer& text, int width, int scale) {
  std::vector<std::string> lines;
  const Font font = scaledFont(scale);
  const auto fits = [&](const std::string& line) {
    return text.textWidth(line, font) <= width * scale;
  };
  std::size_t start = 0;
  while (start <= message.size()) {
    const std::size_t end = std::min(message.find('\n', start), message.size());
    std::string_view paragraph = message.substr(start, end - start);
    std::string line;
    while (!paragraph.empty()) {
      const std::size_t space = paragraph.find(' ');
      const std::string_view word = paragraph.substr(0, space);
      const std::string joined = line.empty() ? std::string(word) : line + ' ' + std::string(word);
      if (fits(joined)) {
        line = joined;
      } else if (!line.empty()) {
        lines.push_back(line);
        line.clear();
        continue;  // the word starts the next line
      } else {
        // One word wider than the line: as many characters as fit, at least one.
        std::size_t count = 1;
        while (count < word.size() && fits(std::string(word.substr(0, count + 1)))) ++count;
        lines.emplace_back(word.substr(0, count));
        paragraph.remove_prefix(count);
        continue;
      }
      paragraph.remove_prefix(space == std::string_view::npos ? paragraph.size() : space + 1);
    }
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.size() > kMaxLines) {
    lines.resize(kMaxLines);
    std::string& last = lines.back();
    while (!last.empty() && !fits(last + "...")) last.pop_back();
    last += "...";
  }
  return lines;
}

}  // namespace

ErrorDialogPicture paintErrorDialog(const std::string& message, TextRenderer* text,
                                    bool okPressed, int scale) {
  scale = std::clamp(scale, 1, SoftCanvas::kMaxScale);
  const bool canWrite = text != nullptr && text->ok();
  const int textWidth = kWidth - 2 * kMargin;
  const std::vector<std::string> lines =
      canWrite ? wrap(message, *text, textWidth, scale) : std::vector<std::string>(1);
  const std::optional<TextMetrics> metrics = canWrite ? text->metrics(kMessageFont) : std::nullopt;
  const int lineHeight = metrics ? metrics->height : kFallbackLineHeight;

  ErrorDialogPicture picture;
  picture.width = kWidth;
  const int messageHeight = 2 * kMargin + static_cast<int>(lines.size()) * lineHeight;
  picture.height = messageHeight + kStripHeight;
  picture.okRight = kWidth - kMargin;
  picture.okLeft = picture.okRight - kButtonWidth;
  picture.okTop = messageHeight + (kStripHeight - kButtonHeight) / 2;
  picture.okBottom = picture.okTop + kButtonHeight;

  SoftCanvas canvas(picture.width * scale, picture.height * scale, nullptr,
                    canWrite ? text : nullptr);
  canvas.setScale(scale);
  canvas.rectangle({0, 0, kWidth, messageHeight}, {kMessageBackground, 1}, kMessageBackground);
  canvas.rectangle({0, messageHeight, kWidth, picture.height}, {kStripBackground, 1},
                   kStripBackground);
  int top = kMargin;
  for (const std::string& line : lines) {
    const std::string shown = withoutPrefixes(line);
    // Text is centred in its area, so an area as wide as the line (to the pixel at scale 1)
    // sets it flush left.
    const int drawn = canWrite ? text->textWidth(line, scaledFont(scale)) : 0;
    const int width = (drawn + scale - 1) / scale;
    canvas.text({kMargin, top, kMargin + width, top + lineHeight}, shown, kMessageFont, kTextColour);
    top += lineHeight;
  }
  const Rect ok{picture.okLeft, picture.okTop, picture.okRight, picture.okBottom};
  canvas.rectangle(ok, {kButtonBorder, 1}, okPressed ? kButtonPressedFace : kButtonFace);
  // The default button's inner focus ring, as the button that Enter presses.
  canvas.rectangle({ok.left + 1, ok.top + 1, ok.right - 1, ok.bottom - 1}, {kButtonBorder, 1},
                   std::nullopt);
  canvas.text(ok, "OK", kMessageFont, kTextColour);
  const std::span<const std::uint32_t> pixels = canvas.pixels();
  picture.pixels.assign(pixels.begin(), pixels.end());
  picture.width = canvas.width();
  picture.height = canvas.height();
  picture.okLeft *= scale;
  picture.okTop *= scale;
  picture.okRight *= scale;
  picture.okBottom *= scale;
  return picture;
}
