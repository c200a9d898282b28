// A bar: a rectangle filled and outlined in one skin colour.
#pragma once

#include "widgets/scob.h"

class scobLine final : public scob {
 public:
  void setLineClass(int value) { lineClass = value; }

  // Replaces the base drawing entirely: no bitmap and no drawContent.
  void draw(Canvas& canvas) override;

 private:
  int lineClass = 0;
};
