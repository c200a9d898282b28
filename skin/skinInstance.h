// The program's skin table with its two built-in skins: numbered tiles and picture tiles.
#pragma once

#include "skin/scobSkin.h"

class skinInstance final : public scobSkin {
 public:
  // Loads the built-in skins, as the one table of the program is always constructed.
  skinInstance();

  void loadDefaults() override;

 private:
  void loadSkin(int skin, int tileBase);
};
