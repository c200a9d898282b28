// The read-only view of the running program that tests and checks look through.
#pragma once

#include "app/Application.h"
#include "app/Controller.h"
#include "app/Screen.h"
#include "settings/Settings.h"

// The screen's parts by name, the settings lines, and the screen and controller themselves for
// the window switches, the client size, the redraw request and the pending work.
struct Application::State {
  const Settings& settings;
  const Screen& screen;
  const Controller& controller;

  const skinInstance& skin;
  const scobScene& scene;
  const scobImage& sidePanel;
  const Deradu& board;
  const Solution& reference;
  const scobButton& easy;
  const scobButton& medium;
  const scobButton& hard;
  const scobButton& solve;
  const scobButton& picture;
  const scobStateButton& showHide;
  const scobButton& levelLabel;
  const scobButton& movesLabel;
  const scobStateButton& transparency;
  const scobStateButton& keepOnTop;
  const scobButton& banner;
};
