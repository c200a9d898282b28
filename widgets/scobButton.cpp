// Push button: pressed look, click on release while pressed, centred single-line text.
#include "widgets/scobButton.h"

#include "skin/scobSkin.h"

namespace {

constexpr int kNormal = 1;
constexpr int kPressed = 2;

}  // namespace

scobButton::scobButton() {
  dirty = true;
  state = kNormal;
  visible = true;
  mouseActive = true;
  numStates = 3;
}

void scobButton::setup(int left, int top, int newHeight, int newWidth, const scobSkin* newSkin,
                       int newTextColourClass, int newFillClass, int newPenClass,
                       int newFontHeight, int newFontWidth, int newBold) {
  setGeometry(left, top, newWidth, newHeight);
  setSkin(newSkin);
  textColourClass = newTextColourClass;
  fillClass = newFillClass;
  penClass = newPenClass;
  fontHeight = newFontHeight;
  fontWidth = newFontWidth;
  bold = newBold;
  visible = true;
}

void scobButton::setText(std::string_view text, int index) {
  if (index < 0 || index > 2) return;
  std::string& slot = texts[static_cast<std::size_t>(index)];
  if (slot != text) {
    dirty = true;
    slot = text;
  }
  if (texts[2].empty()) texts[2] = texts[1];
}

const std::string& scobButton::getText(int index) const {
  static const std::string kNone;
  if (index < 0 || index > 2) return kNone;
  return texts[static_cast<std::size_t>(index)];
}

void scobButton::onLeave() {
  if (state != kPressed) return;
  state = kNormal;
  dirty = true;
}

bool scobButton::onLeftRelease() {
  const bool clicked = state == kPressed;
  state = kNormal;
  dirty = true;
  return clicked;
}

void scobButton::onLeftPress() {
  state = kPressed;
  dirty = true;
}

void scobButton::drawContent(Canvas& canvas) {
  if (!visible || skin == nullptr) return;
  const Colour fill = skin->colour(fillClass, 1);
  const Pen pen{skin->colour(penClass, 1), 0};
  Rect textArea = rect();
  // A fill of -1 suppresses the whole rectangle, outline included; so does a bitmap.
  if (imageClass <= 0 && fill >= 0) canvas.rectangle(textArea, pen, fill);
  if (state == kPressed) {
    ++textArea.left;
    ++textArea.top;
  }
  // A state outside the three text slots shows the normal text.
  const std::string& own = state >= 0 && state <= 2 ? texts[static_cast<std::size_t>(state)]
                                                    : texts[kNormal];
  const std::string& text = own.empty() ? texts[kNormal] : own;
  if (text.empty()) return;
  const Font font{fontHeight, fontWidth, bold == 1 ? 700 : 400};
  canvas.text(textArea, text, font, skin->colour(textColourClass, 1));
}
