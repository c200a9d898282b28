// Everything the program keeps for its whole run, owned by the one application object.
#pragma once

#include "app/Application.h"
#include "puzzle/Deradu.h"
#include "puzzle/Solution.h"
#include "settings/Settings.h"
#include "skin/skinInstance.h"
#include "widgets/scobButton.h"
#include "widgets/scobImage.h"
#include "widgets/scobScene.h"
#include "widgets/scobStateButton.h"

struct Application::State {
  Host* host = nullptr;
  Settings settings;
  std::string settingsPath;

  skinInstance skin;
  scobImage background;
  scobImage sidePanel;
  Deradu board;
  Solution reference;
  scobButton easy;
  scobButton medium;
  scobButton hard;
  scobButton solve;
  scobButton picture;
  scobStateButton showHide;
  scobButton titleBar;
  scobButton levelLabel;
  scobButton movesLabel;
  scobButton help;
  scobStateButton transparency;
  scobStateButton keepOnTop;
  scobButton banner;
  scobScene scene;

  bool keepOnTopFlag = false;
  bool transparencyFlag = false;
  bool sidePanelFlag = false;
  // Any code sets it to ask for one repaint; the tick's repaint clears it.
  int redrawRequest = 0;
  int clientWidth = 0;
  int clientHeight = 0;
};
