// The image widget's rectangle, drawn only when it has no image class at all.
#include "widgets/scobImage.h"

#include "skin/scobSkin.h"

scobImage::scobImage() {
  dirty = true;
  state = 1;
  visible = true;
  mouseActive = false;
}

void scobImage::setup(int left, int top, int newHeight, int newWidth, const scobSkin* newSkin,
                      int newPenClass, int newNumStates) {
  setGeometry(left, top, newWidth, newHeight);
  setSkin(newSkin);
  penClass = newPenClass;
  numStates = newNumStates;
}

void scobImage::drawContent(Canvas& canvas) {
  if (!visible || skin == nullptr) return;
  // Exactly -1: -2 means "draw nothing at all".
  if (imageClass == -1) {
    canvas.rectangle(rect(), Pen{skin->colour(penClass, 1), 0}, skin->colour(fillClass, 1));
  }
  dirty = false;
}
