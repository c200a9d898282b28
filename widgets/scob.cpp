// The screen object's base drawing, hit test and mouse hooks.
#include "widgets/scob.h"

#include <cstdint>

#include "skin/scobSkin.h"

void scob::setGeometry(int left, int top, int newWidth, int newHeight) {
  x = left;
  y = top;
  width = newWidth;
  height = newHeight;
}

void scob::setSkin(const scobSkin* newSkin) { skin = newSkin; }

void scob::setImage(int newImageClass, int newImageExtra) {
  imageClass = newImageClass;
  imageExtra = newImageExtra;
}

void scob::setVisible(bool value) {
  if (value == visible) return;
  dirty = true;
  visible = value;
}

bool scob::contains(int px, int py) const {
  // Widened so that a rectangle near the integer limits cannot overflow.
  const std::int64_t right = std::int64_t{x} + width;
  const std::int64_t bottom = std::int64_t{y} + height;
  return x <= px && px <= right && y <= py && py <= bottom;
}

void scob::draw(Canvas& canvas) {
  if (imageClass >= 0 && skin != nullptr) {
    canvas.blit(skin->image(imageClass, state, imageExtra), x, y, width, height);
  }
  drawContent(canvas);
}

bool scob::mouseButton(int px, int py, int type, int flag) {
  if (!contains(px, py)) return false;
  dirty = true;
  if (type == kPress) {
    if (flag == kLeftButton) {
      onLeftPress();
    } else {
      onOtherPress();
    }
    return true;
  }
  if (type == kRelease) {
    if (flag == kLeftButton) return onLeftRelease();
    onOtherRelease();
  }
  return true;
}

bool scob::mouseMove(int px, int py) {
  if (contains(px, py)) {
    onEnter();
    return true;
  }
  onLeave();
  return false;
}
