// The two-setting switch: every click advances its state 1 -> 2 -> 1.
#pragma once

#include "widgets/scobButton.h"

class scobStateButton final : public scobButton {
 public:
  scobStateButton();

  // Leaving the switch cancels nothing: a press is pending until the next release over it.
  void onLeave() override {}
  bool onLeftRelease() override;
  void onLeftPress() override;

  bool isPending() const { return pending; }

 private:
  bool pending = false;
};
