// The Linux host: an SDL2 window with its event loop and timer, presented from a software canvas.
#include "platform/sdl/SdlHost.h"

#include <SDL2/SDL.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "platform/messages.h"
#include "platform/sdl/ScopedEnvironment.h"
#include "platform/sdl/X11MouseEvent.h"
#include "platform/sdl/X11Window.h"
#include "platform/soft/Bitmap.h"
#include "settings/SettingsPath.h"

namespace {

// What the classic frame of this window style takes from the outer size on Windows; the
// program sizes its window by the outer size and lays out by the client size.
constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 25;
// Windows never runs a timer faster than this.
constexpr int kMinimumTimerPeriod = 10;
// How often, in milliseconds, the loop looks for a signal where it cannot watch the signal
// pipe while it waits (no X connection, or no pipe).
constexpr int kSignalCheck = 100;
constexpr const char* kWindowClass = "winMain";
constexpr int kFatalExitCode = 2;

// Win32 key-state flags carried in wParam of mouse messages.
constexpr std::uintptr_t kMkLeftButton = 0x0001;
constexpr std::uintptr_t kMkRightButton = 0x0002;

// Shows what failed where a display can show it, always on stderr, and ends the process.
[[noreturn]] void fatalError(const char* name) {
  char text[1024];
  std::snprintf(text, sizeof text, "%s failed: %s", name, SDL_GetError());
  std::fprintf(stderr, "%s\n", text);
  // Without a display the box cannot appear; stderr has the report anyway.
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text, nullptr);
  std::exit(kFatalExitCode);
}

// Virtual-key codes: letters by their capital whatever Shift does, digits by their character,
// the rest where Windows has an obvious code; 0 for keys the program never hears of.
int virtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + (key - SDLK_F1);
  switch (key) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_RETURN: return 0x0D;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    default: return 0;
  }
}

std::uintptr_t mouseKeyState() {
  const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
  std::uintptr_t state = 0;
  if ((buttons & SDL_BUTTON_LMASK) != 0) state |= kMkLeftButton;
  if ((buttons & SDL_BUTTON_RMASK) != 0) state |= kMkRightButton;
  return state;
}

}  // namespace

void SdlHost::WindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

void SdlHost::SurfaceDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

SdlHost::SdlHost(WindowProcedure& procedure, const BitmapSource* bitmaps, TextRenderer* text,
                 const BitmapView* icon)
    : procedure_(procedure),
      icon_(icon),
      canvas_(0, 0, bitmaps, text) {
  // The surface must not be a hidden GL texture: making one recreates the X window and drops
  // the opacity and position already given to it.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // A release outside the window reaches nobody, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
  // A click that activates the window is still a click, as on Windows; SDL drops a press that
  // follows a focus change within 10 ms otherwise.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // A desktop window keeps the screensaver and the compositor (which draws its transparency).
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  // SIGTERM and SIGINT come through signals_, which the loop can wait on.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  {
    // SDL 2.26 takes the X11 class only from the environment, while it initialises.
    ScopedEnvironment environment;
    environment.set("SDL_VIDEO_X11_WMCLASS", kWindowClass);
    // SDL opens an X input method whatever the program wants, and Xlib's own reads the locale's
    // whole compose table for it (near 6000 lines in a UTF-8 locale, a good part of SDL's
    // start-up). The program reads keys as key codes and takes no text, so the input method
    // gets no compose sequences: an empty compose file. A dead key then reaches the program as
    // the key it is, which the window procedure ignores like any key it does not use.
    environment.set("XCOMPOSEFILE", "/dev/null");
    // SDL reaches for the session bus only for what the program does not use: input methods
    // for text, and keeping the screensaver off. Connecting costs a few milliseconds of the
    // start-up, and where no bus runs libdbus would start one of its own (dbus-launch) that
    // outlives the program. SDL does not try again once this has failed.
    environment.set("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) fatalError("SDL_Init");
  }
  sdlReady_ = true;
  // Without a display SDL falls back to drivers that show nothing; a window nobody can see
  // would leave the program running with no way to end it.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "evdev") == 0) {
    SDL_SetError("no display to show the window on");
    fatalError("SDL_Init");
  }
  // Keys arrive as key codes; no input method is wanted.
  SDL_StopTextInput();
  // On X the mouse is read from the X events themselves (see handleX11Mouse).
  x11Mouse_ = std::strcmp(driver, "x11") == 0;
  if (x11Mouse_) SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

SdlHost::~SdlHost() {
  canvasSurface_.reset();
  window_.reset();
  if (sdlReady_) SDL_Quit();
}

std::string SdlHost::settingsPath() {
  return linuxSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

Size SdlHost::fullScreenSize() {
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return {};
  return {usable.w, usable.h};
}

bool SdlHost::createWindow(const char* title, Point position) {
  // Windows makes the window with no size until WM_CREATE sizes it; SDL needs one pixel.
  window_.reset(SDL_CreateWindow(title, position.x, position.y, 1, 1, SDL_WINDOW_HIDDEN));
  if (!window_) {
    std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
    return false;
  }
  windowId_ = SDL_GetWindowID(window_.get());
  x11Fd_ = x11ConnectionFd(window_.get());
  if (icon_ != nullptr && icon_->width > 0 && icon_->height > 0 &&
      icon_->pixels.size() >= static_cast<std::size_t>(icon_->width) * icon_->height) {
    // SDL copies the icon, so a view of the store's pixels is enough.
    std::unique_ptr<SDL_Surface, SurfaceDeleter> surface(SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(icon_->pixels.data()), icon_->width, icon_->height, 32,
        icon_->width * 4, SDL_PIXELFORMAT_RGB888));
    if (surface) SDL_SetWindowIcon(window_.get(), surface.get());
  }
  send(msg::kCreate);
  return true;
}

void SdlHost::setTimer(int id, int milliseconds) {
  timerId_ = id;
  timerPeriod_ = static_cast<std::uint64_t>(std::max(milliseconds, kMinimumTimerPeriod));
  timerDeadline_ = SDL_GetTicks64() + timerPeriod_;
}

void SdlHost::resizeWindow(Size outer) {
  if (!window_) return;
  client_ = {std::max(outer.width - kFrameWidth, 0), std::max(outer.height - kFrameHeight, 0)};
  SDL_SetWindowSize(window_.get(), std::max(client_.width, 1), std::max(client_.height, 1));
  canvas_.resize(client_.width, client_.height);
  canvasSurface_.reset();
  // The window class redraws the whole window whenever its size changes.
  paintPending_ = true;
}

Size SdlHost::clientSize() { return client_; }

Point SdlHost::windowPosition() {
  if (!window_) return {};
  // The window was placed by its frame (a window manager puts the frame's corner where the
  // window asked to be), so the frame's corner brings it back to the same place next time.
  // Without a window manager the X window is its own frame.
  int x = 0;
  int y = 0;
  if (x11FramePosition(window_.get(), x, y)) return {x, y};
  SDL_GetWindowPosition(window_.get(), &x, &y);
  int top = 0;
  int left = 0;
  if (SDL_GetWindowBordersSize(window_.get(), &top, &left, nullptr, nullptr) != 0) {
    top = 0;
    left = 0;
  }
  return {x - left, y - top};
}

void SdlHost::setTopmost(bool topmost) {
  if (window_) SDL_SetWindowAlwaysOnTop(window_.get(), topmost ? SDL_TRUE : SDL_FALSE);
}

void SdlHost::setOpacity(std::uint8_t alpha) {
  // Ignored on purpose when the window system has no opacity, as a plain X server may not.
  if (window_) SDL_SetWindowOpacity(window_.get(), static_cast<float>(alpha) / 255.0f);
}

void SdlHost::showWindow() {
  if (!window_) return;
  // UpdateWindow paints at once rather than waiting for the loop. The frame goes into the window
  // surface while the window is still unmapped and is put on the screen as soon as it is
  // mapped, so the window never shows an empty area first.
  paintPending_ = false;
  send(msg::kPaint);
  SDL_ShowWindow(window_.get());
  shown_ = true;
  // Ignored on purpose when it fails: the exposure that follows the mapping paints again.
  SDL_UpdateWindowSurface(window_.get());
}

bool SdlHost::isLeftButtonDown() {
  return (SDL_GetGlobalMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
}

void SdlHost::openUrl(const std::string& url) {
  // Everything the child needs is made before fork: after it only async-signal-safe calls.
  std::vector<char> argument0{'x', 'd', 'g', '-', 'o', 'p', 'e', 'n', '\0'};
  std::vector<char> argument1(url.begin(), url.end());
  argument1.push_back('\0');
  char* const argv[] = {argument0.data(), argument1.data(), nullptr};
  // Forking twice hands the opener to init, which reaps it however long it runs; the program
  // reaps the middle child at once, so no zombie stays. The result is ignored on purpose.
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    if (fork() == 0) {
      execvp(argv[0], argv);
      _exit(127);
    }
    _exit(0);
  }
  if (child > 0) waitpid(child, nullptr, 0);
}

Canvas& SdlHost::beginPaint() {
  paintPending_ = false;
  return canvas_;
}

void SdlHost::endPaint() { present(); }

Canvas& SdlHost::getDC() { return canvas_; }

void SdlHost::releaseDC() { present(); }

void SdlHost::postQuit(int exitCode) {
  quit_ = true;
  exitCode_ = exitCode;
}

int SdlHost::runMessageLoop() {
  SDL_Event event;
  while (!quit_) {
    // SIGTERM and SIGINT close the window as its close box does.
    if (signals_.take()) close();
    // Input first; then, as on Windows, WM_PAINT once nothing else waits, and WM_TIMER last.
    while (!quit_ && SDL_PollEvent(&event) != 0) handle(event);
    if (quit_) break;
    if (paintPending_ && window_) {
      paintPending_ = false;
      send(msg::kPaint);
      continue;
    }
    const std::uint64_t now = SDL_GetTicks64();
    if (timerPeriod_ != 0 && window_ && now >= timerDeadline_) {
      // Keeping to the period's grid holds the average rate; a tick more than a period late is
      // not made up for, as Windows does not queue missed timer messages.
      timerDeadline_ += timerPeriod_;
      if (timerDeadline_ <= now) timerDeadline_ = now + timerPeriod_;
      send(msg::kTimer, static_cast<std::uintptr_t>(timerId_));
      continue;
    }
    if (!window_) break;
    // A tick that would change nothing is skipped, and the loop sleeps until the next event
    // rather than waking a hundred times a second; every change starts with an event, after
    // which the ticks run again.
    const bool ticking = timerPeriod_ != 0 && !procedure_.isIdle();
    wait(ticking ? static_cast<int>(timerDeadline_ - now) : -1);
  }
  return exitCode_;
}

void SdlHost::wait(int timeout) {
  if (x11Fd_ >= 0 && signals_.fd() >= 0) {
    // SDL's own wait wakes itself with an X message sent to the window over a second
    // connection; when the window is destroyed just then, the server answers BadWindow and
    // Xlib's default handler ends the program. Waiting on the connection here needs no
    // wake-up: SDL_PollEvent has read everything queued, and a signal, even one that landed
    // after the loop last looked, leaves a byte in the signal pipe.
    pollfd watched[2] = {{x11Fd_, POLLIN, 0}, {signals_.fd(), POLLIN, 0}};
    // An interrupted or failed poll only sends the loop round once more; ignored on purpose.
    poll(watched, 2, timeout);
    return;
  }
  // Here nothing watches the signal pipe, so the wait is cut into kSignalCheck pieces.
  const int bounded = timeout >= 0 ? std::min(timeout, kSignalCheck) : kSignalCheck;
  if (x11Fd_ >= 0) {
    pollfd input{x11Fd_, POLLIN, 0};
    poll(&input, 1, bounded);
    return;
  }
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, bounded) != 0) handle(event);
}

std::int64_t SdlHost::currentTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

void SdlHost::handle(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      // SDL's answer to the last window's close box.
      close();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.windowID != windowId_) break;
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        close();
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        paintPending_ = true;
      }
      break;
    case SDL_KEYDOWN: {
      // With Alt held Windows sends WM_SYSKEYDOWN, which the program never handles.
      if (event.key.windowID != windowId_ || (event.key.keysym.mod & KMOD_ALT) != 0) break;
      const int key = virtualKey(event.key.keysym.sym);
      if (key != 0) send(msg::kKeyDown, static_cast<std::uintptr_t>(key), 1);
      break;
    }
    case SDL_SYSWMEVENT:
      if (x11Mouse_) handleX11Mouse(*event.syswm.msg);
      break;
    case SDL_MOUSEMOTION:
      // Windows sends no move while the pointer is outside the window; SDL reports a drag
      // out of the window at the nearest edge pixel.
      if (!x11Mouse_ || pointerInWindow_) handleMouse(event);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (!x11Mouse_) handleMouse(event);
      break;
    default:
      break;
  }
}

void SdlHost::handleMouse(const SDL_Event& event) {
  const bool motion = event.type == SDL_MOUSEMOTION;
  const std::uint32_t windowId = motion ? event.motion.windowID : event.button.windowID;
  const int x = motion ? event.motion.x : event.button.x;
  const int y = motion ? event.motion.y : event.button.y;
  if (windowId != windowId_ || !pointInClient(x, y)) return;
  const std::intptr_t point = msg::pointParam(x, y);
  if (motion) {
    send(msg::kMouseMove, mouseKeyState(), point);
  } else if (event.button.button == SDL_BUTTON_LEFT) {
    send(event.type == SDL_MOUSEBUTTONDOWN ? msg::kLeftButtonDown : msg::kLeftButtonUp,
         mouseKeyState(), point);
  } else if (event.button.button == SDL_BUTTON_RIGHT && event.type == SDL_MOUSEBUTTONDOWN) {
    send(msg::kRightButtonDown, mouseKeyState(), point);
  }
}

void SdlHost::handleX11Mouse(const SDL_SysWMmsg& message) {
  // X holds the pointer for the window a button was pressed in, so the release outside still
  // comes here. SDL reports it at the last position inside, or not at all, and then ignores the
  // next press as a repeat. Windows without mouse capture delivers nothing outside the client
  // area, so buttons are read from the X events as they are and only those inside pass.
  const std::optional<X11MouseEvent> mouse = x11MouseEvent(message);
  if (!mouse || !window_) return;
  if (mouse->kind == X11MouseEvent::Kind::kEnter || mouse->kind == X11MouseEvent::Kind::kLeave) {
    pointerInWindow_ = mouse->kind == X11MouseEvent::Kind::kEnter;
    return;
  }
  if (!pointInClient(mouse->x, mouse->y)) return;
  const std::uintptr_t keys =
      (mouse->leftDown ? kMkLeftButton : 0) | (mouse->rightDown ? kMkRightButton : 0);
  const std::intptr_t point = msg::pointParam(mouse->x, mouse->y);
  if (mouse->kind == X11MouseEvent::Kind::kPress) {
    if (mouse->button == 1) send(msg::kLeftButtonDown, keys, point);
    if (mouse->button == 3) send(msg::kRightButtonDown, keys, point);
  } else if (mouse->button == 1) {
    send(msg::kLeftButtonUp, keys, point);
  }
}

void SdlHost::close() {
  if (closing_ || !window_) return;
  if (send(msg::kClose) != msg::kDefault) return;
  closing_ = true;
  // DefWindowProc's DestroyWindow: WM_DESTROY while the window still exists (the program reads
  // its position then), and the window goes afterwards.
  send(msg::kDestroy);
  canvasSurface_.reset();
  window_.reset();
  windowId_ = 0;
  x11Fd_ = -1;
}

std::intptr_t SdlHost::send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  return procedure_.windowProc(message, wParam, lParam);
}

void SdlHost::present() {
  if (!window_ || client_.width == 0 || client_.height == 0) return;
  // A failed present leaves the old picture; the next paint tries again.
  SDL_Surface* target = SDL_GetWindowSurface(window_.get());
  if (target == nullptr) return;
  if (!canvasSurface_) {
    canvasSurface_.reset(SDL_CreateRGBSurfaceWithFormatFrom(
        canvas_.pixels().data(), canvas_.width(), canvas_.height(), 32, canvas_.width() * 4,
        SDL_PIXELFORMAT_RGB888));
    if (!canvasSurface_) return;
    SDL_SetSurfaceBlendMode(canvasSurface_.get(), SDL_BLENDMODE_NONE);
  }
  SDL_BlitSurface(canvasSurface_.get(), nullptr, target, nullptr);
  // X keeps nothing put into an unmapped window; showWindow puts the frame once it is mapped.
  if (shown_) SDL_UpdateWindowSurface(window_.get());
}

bool SdlHost::pointInClient(int x, int y) const {
  return x >= 0 && y >= 0 && x < client_.width && y < client_.height;
}
