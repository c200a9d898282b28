// The one application object: settings, screen and controller, and the window procedure.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "platform/host.h"

class Application final : public WindowProcedure {
 public:
  // The program keeps its settings in `settingsFile`: read at the start, written at the end.
  // Without one nothing is read or written.
  explicit Application(std::optional<std::filesystem::path> settingsFile = std::nullopt);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  static constexpr int kNormalExitCode = 1;

  // The whole run: start-up, the message loop, the settings written afterwards. Returns the exit
  // code: 1 after a normal exit, host::kFatalExitCode when no window could be created.
  int run(Host& host);

  // Start-up up to the shown window: settings read, window created at the saved position (the
  // screen is built during WM_CREATE), keep-on-top and transparency applied, window shown.
  // False when the host could not create the window.
  bool start(Host& host);
  // After the message loop has ended, or when the session ends: writes the settings file.
  void finish();

  std::intptr_t windowProc(std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) override;
  // Nothing for the tick to do (see PendingWork).
  bool isIdle() const override;

  // A read-only view of the program, for tests and checks that look inside (ApplicationState.h).
  // Its parts are const references, so even the non-const view changes nothing.
  struct State;
  State& state();
  const State& state() const;

 private:
  void storeSettings();
  void dispatchMouse(std::uint32_t message, std::intptr_t lParam);

  // The parts live on the heap: the skin table alone is near a megabyte.
  struct Parts;
  std::unique_ptr<Parts> parts_;
  Host* host_ = nullptr;
};
