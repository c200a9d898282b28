// Start-up, the window procedure and the settings stored at the end of the run.
#include "app/Application.h"

#include <string>
#include <utility>

#include "app/ApplicationState.h"
#include "app/Controller.h"
#include "app/SavedState.h"
#include "app/Screen.h"
#include "app/ScreenTable.h"
#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "settings/Settings.h"

struct Application::Parts {
  std::optional<std::filesystem::path> settingsFile;
  Settings settings;
  // What the file said at the start, for the window creation.
  SavedState saved;
  Screen screen;
  Controller controller{screen};
  State view{settings,
             screen,
             controller,
             screen.skin(),
             screen.scene(),
             screen.sidePanel(),
             screen.board(),
             screen.reference(),
             screen.easy(),
             screen.medium(),
             screen.hard(),
             screen.solve(),
             screen.picture(),
             screen.showHide(),
             screen.levelLabel(),
             screen.movesLabel(),
             screen.transparency(),
             screen.keepOnTopButton(),
             screen.banner()};
};

Application::Application(std::optional<std::filesystem::path> settingsFile)
    : parts_(std::make_unique<Parts>()) {
  parts_->settingsFile = std::move(settingsFile);
}

Application::~Application() = default;

Application::State& Application::state() { return parts_->view; }

const Application::State& Application::state() const { return parts_->view; }

int Application::run(Host& host) {
  // Without a window the settings lines still hold the file's own text; writing them back
  // would only damage the file, so it is left as it was.
  if (!start(host)) return host::kFatalExitCode;
  host.runMessageLoop();
  finish();
  return kNormalExitCode;
}

bool Application::start(Host& host) {
  Parts& p = *parts_;
  host_ = &host;
  // Without a file the lines keep their spaces, which read as 0 everywhere.
  if (p.settingsFile) p.settings.read(*p.settingsFile);
  p.saved = readSavedState(p.settings);

  Point position = p.saved.position;
  const Size screenSize = host.fullScreenSize();
  if (position.x > screenSize.width || position.x < 0) position.x = screen::kFallbackCoordinate;
  if (position.y > screenSize.height || position.y < 0) position.y = screen::kFallbackCoordinate;

  if (!host.createWindow(std::string(screen::kTitle).c_str(), position)) return false;
  host.setTopmost(p.screen.keepOnTop());
  host.setOpacity(static_cast<std::uint8_t>(p.screen.transparent() ? screen::kTransparentAlpha
                                                                   : screen::kOpaqueAlpha));
  host.showWindow();
  return true;
}

void Application::finish() {
  // A failed write leaves the old file as it was; there is nobody left to tell.
  if (parts_->settingsFile) parts_->settings.write(*parts_->settingsFile);
}

void Application::storeSettings() {
  Parts& p = *parts_;
  storeSavedState({p.screen.skin().getCurrentSkin(0), p.screen.keepOnTop(),
                   p.screen.transparent(), host_->windowPosition(), p.screen.board().getLevel()},
                  p.settings, host_->placesWindow());
}

bool Application::isIdle() const { return !parts_->controller.pendingWork().any(); }

void Application::dispatchMouse(std::uint32_t message, std::intptr_t lParam) {
  scobScene& scene = parts_->screen.scene();
  const auto bits = static_cast<std::uint32_t>(lParam);
  const int px = static_cast<int>(bits & 0xFFFFu);
  const int py = static_cast<int>((bits >> 16) & 0xFFFFu);
  // Every mouse-active entry is asked, hidden ones too; the count is read again each time.
  for (int i = 0; i < scene.count(); ++i) {
    scob* object = scene.objectAt(i);
    if (object == nullptr || !object->isMouseActive()) continue;
    if (message == msg::kMouseMove) {
      object->mouseMove(px, py);
    } else if (message == msg::kLeftButtonDown) {
      object->mouseButton(px, py, scob::kPress, scob::kLeftButton);
    } else if (object->mouseButton(px, py, scob::kRelease, scob::kLeftButton)) {
      parts_->controller.command(*host_, scene.commandAt(i));
    }
  }
}

std::intptr_t Application::windowProc(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  if (host_ == nullptr) return msg::kDefault;
  Parts& p = *parts_;
  switch (message) {
    case msg::kCreate:
      host_->setTimer(screen::kTimerId, screen::kTimerMilliseconds);
      p.screen.build(*host_, p.saved);
      p.controller.requestRedraw();
      return 1;
    case msg::kDestroy:
      storeSettings();
      host_->postQuit(0);
      return 1;
    case msg::kEndSession:
      // The system ends the process after this message without WM_DESTROY, so this is the
      // last moment to keep the settings, exactly as the end of a run keeps them.
      if (wParam == 0) return msg::kDefault;
      storeSettings();
      finish();
      return 0;
    case msg::kPaint:
      // A paint of its own: the redraw request is the tick's and stays as it is.
      p.screen.paint(host_->beginPaint());
      host_->endPaint();
      return 1;
    case msg::kKeyDown:
      p.controller.keyboard(*host_, static_cast<int>(wParam & 0xFFFFu));
      return 1;
    case msg::kTimer:
      p.controller.tick(*host_);
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
