// The push button, and with the mouse switched off, the text label.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "widgets/scob.h"

class scobButton : public scob {
 public:
  scobButton();

  // Height comes before width here. Makes the button visible without touching dirty.
  void setup(int left, int top, int newHeight, int newWidth, const scobSkin* newSkin,
             int newTextColourClass, int newFillClass, int newPenClass, int newFontHeight,
             int newFontWidth, int newBold);
  // Index 0, 1 or 2; any other index is ignored. An empty pressed text is refilled from text 1,
  // so the pressed state keeps showing the first text it was given.
  void setText(std::string_view text, int index);
  const std::string& getText(int index) const;

  void onLeave() override;
  bool onLeftRelease() override;
  void onLeftPress() override;
  void drawContent(Canvas& canvas) override;

 protected:
  std::array<std::string, 3> texts{};
  int textColourClass = 0;
  int fillClass = 0;
  int penClass = 0;
  int fontWidth = 0;
  int fontHeight = 0;
  int bold = 0;
};
