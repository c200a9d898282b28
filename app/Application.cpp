// Start-up, the window procedure and the settings stored at the end of the run.
#include "app/Application.h"

#include "app/ApplicationState.h"
#include "app/ScreenTable.h"
#include "platform/messages.h"
#include "settings/DecimalText.h"

Application::Application() : state_(std::make_unique<State>()) {}

Application::~Application() = default;

Application::State& Application::state() { return *state_; }

int Application::run(Host& host) {
  // Without a window the settings lines still hold the file's own text; writing them back
  // would only damage the file, so it is left as it was.
  if (!start(host)) return kNoWindowExitCode;
  host.runMessageLoop();
  finish();
  return kNormalExitCode;
}

bool Application::start(Host& host) {
  State& s = *state_;
  s.host = &host;
  s.settingsPath = host.settingsPath();
  // Without a file the lines keep their spaces, which read as 0 everywhere.
  s.settings.read(s.settingsPath);

  Point position{parseDecimal(s.settings.line(SettingsLine::kWindowLeft)),
                 parseDecimal(s.settings.line(SettingsLine::kWindowTop))};
  const Size screenSize = host.fullScreenSize();
  if (position.x > screenSize.width || position.x < 0) position.x = screen::kFallbackCoordinate;
  if (position.y > screenSize.height || position.y < 0) position.y = screen::kFallbackCoordinate;

  if (!host.createWindow(std::string(screen::kTitle).c_str(), position)) return false;
  host.setTopmost(s.keepOnTopFlag);
  host.setOpacity(static_cast<std::uint8_t>(s.transparencyFlag ? screen::kTransparentAlpha
                                                               : screen::kOpaqueAlpha));
  host.showWindow();
  return true;
}

void Application::finish() {
  State& s = *state_;
  // A failed write leaves the old file as it was; there is nobody left to tell.
  s.settings.write(s.settingsPath);
}

void Application::storeSettings() {
  State& s = *state_;
  const Point position = s.host->windowPosition();
  // Negative coordinates are kept as their unsigned 32-bit value; the next start reads them as
  // too large and falls back.
  s.settings.setUnsigned(SettingsLine::kSkin, static_cast<std::uint32_t>(s.skin.getCurrentSkin(0)));
  s.settings.setUnsigned(SettingsLine::kKeepOnTop, s.keepOnTopFlag ? 1u : 0u);
  s.settings.setUnsigned(SettingsLine::kTransparency, s.transparencyFlag ? 1u : 0u);
  s.settings.setUnsigned(SettingsLine::kWindowTop, static_cast<std::uint32_t>(position.y));
  s.settings.setUnsigned(SettingsLine::kWindowLeft, static_cast<std::uint32_t>(position.x));
  s.settings.setUnsigned(SettingsLine::kLevel, static_cast<std::uint32_t>(s.board.getLevel()));
}

void Application::dispatchMouse(std::uint32_t message, std::intptr_t lParam) {
  State& s = *state_;
  const auto bits = static_cast<std::uint32_t>(lParam);
  const int px = static_cast<int>(bits & 0xFFFFu);
  const int py = static_cast<int>((bits >> 16) & 0xFFFFu);
  // Every mouse-active entry is asked, hidden ones too; the count is read again each time.
  for (int i = 0; i < s.scene.count(); ++i) {
    scob* object = s.scene.objectAt(i);
    if (object == nullptr || !object->isMouseActive()) continue;
    if (message == msg::kMouseMove) {
      object->mouseMove(px, py);
    } else if (message == msg::kLeftButtonDown) {
      object->mouseButton(px, py, scob::kPress, scob::kLeftButton);
    } else if (object->mouseButton(px, py, scob::kRelease, scob::kLeftButton)) {
      command(s.scene.commandAt(i), s.scene.extraAt(i));
    }
  }
}

std::intptr_t Application::windowProc(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  State& s = *state_;
  if (s.host == nullptr) return msg::kDefault;
  switch (message) {
    case msg::kCreate:
      screenBuild();
      return 1;
    case msg::kDestroy:
      storeSettings();
      s.host->postQuit(0);
      return 1;
    case msg::kEndSession:
      // The system ends the process after this message without WM_DESTROY, so this is the
      // last moment to keep the settings, exactly as the end of a run keeps them.
      if (wParam == 0) return msg::kDefault;
      storeSettings();
      finish();
      return 0;
    case msg::kPaint: {
      Canvas& canvas = s.host->beginPaint();
      paintOffscreen(canvas, s.scene, s.clientWidth, s.clientHeight);
      s.host->endPaint();
      return 1;
    }
    case msg::kKeyDown:
      keyboard(static_cast<int>(wParam & 0xFFFFu));
      return 1;
    case msg::kTimer:
      tick();
      return 1;
    case msg::kMouseMove:
    case msg::kLeftButtonDown:
    case msg::kLeftButtonUp:
      dispatchMouse(message, lParam);
      return 1;
    case msg::kCommand:
    case msg::kRightButtonDown:
      return 1;
    default:
      return msg::kDefault;
  }
}
