// The one application object: skin table, widgets, board, scene, settings and the window procedure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/host.h"

class Application final : public WindowProcedure {
 public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static constexpr int kNormalExitCode = 1;
  static constexpr int kNoWindowExitCode = 2;

  // The whole run: start-up, the message loop, the settings written afterwards. Returns the exit
  // code: 1 after a normal exit, 2 when no window could be created.
  int run(Host& host);

  // Start-up up to the shown window: settings read, window created at the saved position (the
  // screen is built during WM_CREATE), keep-on-top and transparency applied, window shown.
  // False when the host could not create the window.
  bool start(Host& host);
  // After the message loop has ended, or when the session ends: writes the settings file.
  void finish();

  std::intptr_t windowProc(std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;
  bool isIdle() const override;

  // The program's state, for tests and checks that look inside.
  struct State;
  State& state();

 private:
  // Start-up and the window procedure (Application.cpp).
  void storeSettings();
  void dispatchMouse(std::uint32_t message, std::intptr_t lParam);

  // The screen (Screen.cpp).
  void screenBuild();
  void refreshLevelLabel();
  void refreshMovesLabel();
  std::string movesText() const;
  void setWindowWidth(bool wide);

  // Commands, keys and the tick (Controller.cpp).
  void command(int commandId, int extra);
  void keyboard(int key);
  void tick();
  void paintFromTick();
  void newGameAtLevel(int level);
  void solve();
  void openHelpPage();

  std::unique_ptr<State> state_;
};
