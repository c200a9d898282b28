// The bar's drawing.
#include "widgets/scobLine.h"

#include "skin/scobSkin.h"

void scobLine::draw(Canvas& canvas) {
  if (skin != nullptr) {
    const Colour colour = skin->colour(lineClass, 1);
    canvas.rectangle(rect(), Pen{colour, 0}, colour);
  }
  dirty = false;
}
