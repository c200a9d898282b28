// A bitmap of the skin, or without one an outlined rectangle; shows, never reacts by default.
#pragma once

#include "widgets/scob.h"

class scobImage final : public scob {
 public:
  scobImage();

  // Height comes before width, as in the button's setup. Visibility and dirty are untouched.
  void setup(int left, int top, int newHeight, int newWidth, const scobSkin* newSkin,
             int newPenClass, int newNumStates);
  void setFillClass(int value) { fillClass = value; }

  void drawContent(Canvas& canvas) override;

 private:
  int fillClass = 0;
  int penClass = 0;
};
