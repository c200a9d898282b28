// The title bar the Wayland host draws itself where the compositor leaves decorations to it.
#include "hosts/wayland/TitleBar.h"

#include "platform/canvas.h"

namespace {

// COLORREF values, 0x00BBGGRR: the classic caption colours, active and inactive.
constexpr Colour kActiveCaption = 0x00800000;
constexpr Colour kInactiveCaption = 0x00808080;
constexpr Colour kCaptionText = 0x00FFFFFF;
constexpr Colour kButtonFace = 0x00C0C0C0;
constexpr Colour kButtonShadow = 0x00808080;
constexpr Colour kButtonLight = 0x00FFFFFF;
constexpr Colour kGlyph = 0x00000000;

constexpr int kButtonWidth = 18;
constexpr int kButtonHeight = 16;
constexpr int kButtonGap = 2;
constexpr int kButtonTop = (TitleBar::kHeight - kButtonHeight) / 2;
constexpr Font kTitleFont{14, 0, 700};

Rect closeButton(int width) {
  const int right = width - kButtonGap - 2;
  return {right - kButtonWidth, kButtonTop, right, kButtonTop + kButtonHeight};
}

Rect minimiseButton(int width) {
  const Rect close = closeButton(width);
  return {close.left - kButtonGap - kButtonWidth, close.top, close.left - kButtonGap, close.bottom};
}

bool inside(const Rect& area, int x, int y) {
  return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
}

// A raised button, or a pushed-in one: light and shadow edges swapped.
void drawButton(Canvas& canvas, const Rect& area, bool pressed) {
  canvas.rectangle(area, {pressed ? kButtonShadow : kButtonLight, 1}, kButtonFace);
  const Pen shadow{pressed ? kButtonLight : kButtonShadow, 1};
  canvas.line({area.right - 1, area.top}, {area.right - 1, area.bottom}, shadow);
  canvas.line({area.left, area.bottom - 1}, {area.right, area.bottom - 1}, shadow);
}

}  // namespace

TitleBar::Part TitleBar::partAt(int x, int y, int width) {
  if (x < 0 || y < 0 || x >= width || y >= kHeight) return Part::kNone;
  if (inside(closeButton(width), x, y)) return Part::kClose;
  if (inside(minimiseButton(width), x, y)) return Part::kMinimise;
  return Part::kBar;
}

void TitleBar::draw(Canvas& canvas, int width, const std::string& title, bool active,
                    Part pressed) {
  const Colour caption = active ? kActiveCaption : kInactiveCaption;
  canvas.rectangle({0, 0, width, kHeight}, {caption, 1}, caption);
  const Rect minimise = minimiseButton(width);
  const Rect close = closeButton(width);
  // The title keeps clear of the buttons.
  canvas.text({0, 0, minimise.left, kHeight}, title, kTitleFont, kCaptionText);

  drawButton(canvas, minimise, pressed == Part::kMinimise);
  const int push = pressed == Part::kMinimise ? 1 : 0;
  const Pen glyph{kGlyph, 2};
  canvas.line({minimise.left + 4 + push, minimise.bottom - 4 + push},
              {minimise.right - 5 + push, minimise.bottom - 4 + push}, glyph);

  drawButton(canvas, close, pressed == Part::kClose);
  const int shift = pressed == Part::kClose ? 1 : 0;
  const Pen thin{kGlyph, 1};
  for (int offset = 0; offset < 2; ++offset) {
    canvas.line({close.left + 4 + offset + shift, close.top + 3 + shift},
                {close.right - 4 + offset + shift, close.bottom - 3 + shift}, thin);
    canvas.line({close.right - 5 + offset + shift, close.top + 3 + shift},
                {close.left + 3 + offset + shift, close.bottom - 3 + shift}, thin);
  }
}
