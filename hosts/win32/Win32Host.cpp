// The Windows host: the "winMain" window class, one layered window and its message loop.
#include "hosts/win32/Win32Host.h"

#include <algorithm>
#include <ctime>
#include <new>
#include <optional>

#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "hosts/win32/DpiScale.h"
#include "hosts/win32/FatalErrorReport.h"
#include "hosts/win32/GdiCanvas.h"
#include "hosts/win32/Win32Api.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

using host::kIconId;
using host::kWindowClass;
// No menu resource has this id, so the window has no menu.
constexpr int kMenuId = 10000;
// CS_VREDRAW | CS_HREDRAW | CS_OWNDC.
constexpr UINT kClassStyle = 0x23;
// No sizing frame and no maximise box; Windows adds the caption an overlapped window always has.
constexpr DWORD kWindowStyle = WS_SYSMENU | WS_MINIMIZEBOX;
// Sent to a per-monitor aware window whose DPI changed; older SDK headers lack the name.
constexpr UINT kDpiChanged = 0x02E0;

// The per-monitor DPI functions of USER32 exist from Windows 10 on; a 32-bit program also runs
// where they are missing, so they are looked up rather than imported.
struct DpiFunctions {
  using WindowDpi = UINT(WINAPI*)(HWND);
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

  WindowDpi windowDpi = nullptr;
  AdjustForDpi adjustForDpi = nullptr;

  static const DpiFunctions& get() {
    static const DpiFunctions functions = [] {
      DpiFunctions found;
      if (const HMODULE user32 = GetModuleHandleA("user32.dll"); user32 != nullptr) {
        // Through the generic function type, which GCC lets any function pointer become.
        found.windowDpi = reinterpret_cast<WindowDpi>(
            reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetDpiForWindow")));
        found.adjustForDpi = reinterpret_cast<AdjustForDpi>(
            reinterpret_cast<void (*)()>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
      }
      return found;
    }();
    return functions;
  }
};

// The window's DPI; without GetDpiForWindow, the system's, which is the one Windows 7 and 8
// draw every window at. Never below 96, which the game's layout is made for.
int windowDpi(HWND window) {
  int dpi = 0;
  if (const auto windowDpiFunction = DpiFunctions::get().windowDpi; windowDpiFunction != nullptr) {
    dpi = static_cast<int>(windowDpiFunction(window));
  }
  if (dpi == 0) {
    if (const HDC screen = GetDC(nullptr); screen != nullptr) {
      dpi = GetDeviceCaps(screen, LOGPIXELSY);
      ReleaseDC(nullptr, screen);
    }
  }
  return std::max(dpi, dpi::kLogical);
}

// The mouse messages whose lParam holds a point in client coordinates (the wheel's are screen
// coordinates and stay as they are).
bool hasClientPoint(UINT message) {
  return message >= WM_MOUSEMOVE && message <= WM_XBUTTONDBLCLK && message != WM_MOUSEWHEEL;
}

// A physical client point as the game's logical one, in the same lParam layout.
LPARAM logicalPoint(LPARAM lParam, int dpi) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  return static_cast<LPARAM>(msg::pointParam(dpi::toLogical(x, dpi), dpi::toLogical(y, dpi)));
}

}  // namespace

struct Win32Host::Window {
  Window(HINSTANCE moduleInstance, WindowProcedure& windowProcedure)
      : instance(moduleInstance), procedure(windowProcedure) {}

  // The window class's procedure: finds the Window the creation parameters named.
  static LRESULT CALLBACK systemProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);

  HINSTANCE instance;
  WindowProcedure& procedure;
  // Set by WM_NCCREATE, before WM_CREATE reaches the procedure; cleared by WM_NCDESTROY.
  HWND handle = nullptr;
  // The window's DPI, from WM_NCCREATE on; WM_DPICHANGED brings the next one.
  int dpi = dpi::kLogical;

  PAINTSTRUCT paint{};
  std::optional<GdiCanvas> paintCanvas;
  HDC windowDc = nullptr;
  std::optional<GdiCanvas> windowCanvas;
};

Win32Host::Win32Host(HINSTANCE instance, WindowProcedure& procedure)
    : window_(std::make_unique<Window>(instance, procedure)) {
  WNDCLASSA windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = &Window::systemProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = MAKEINTRESOURCEA(kMenuId);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassA(&windowClass) == 0) endWithFatalError(lastErrorText("Main1").c_str());
}

Win32Host::~Win32Host() {
  if (window_->handle != nullptr) {
    // The window outlived the message loop: it goes without telling the procedure, whose run
    // is over.
    SetWindowLongPtrA(window_->handle, GWLP_USERDATA, 0);
    DestroyWindow(window_->handle);
  }
}

Size Win32Host::fullScreenSize() {
  return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

bool Win32Host::createWindow(const char* title, Point position) {
  // The host's window state rides along in the creation parameters, so WM_NCCREATE can bind
  // the window to it before WM_CREATE arrives.
  const HWND window = CreateWindowExA(WS_EX_LAYERED, kWindowClass, title, kWindowStyle,
                                      position.x, position.y, 0, 0, nullptr, nullptr,
                                      window_->instance, window_.get());
  if (window == nullptr) {
    reportFatalError(lastErrorText("CreateWindowExA").c_str());
    return false;
  }
  return true;
}

// The results of the window calls below are ignored on purpose: the window either does it or
// stays as it was, and the game goes on either way.

void Win32Host::setTimer(int id, int milliseconds) {
  SetTimer(window_->handle, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
}

void Win32Host::resizeWindow(Size outer) {
  // The game asks for its outer size with the classic frame; the client area it means is scaled
  // to the window's DPI, and the frame this system draws at that DPI is put around it.
  const int dpi = window_->dpi;
  RECT frame{0, 0, dpi::toPhysical(outer.width - host::kFrameWidth, dpi),
             dpi::toPhysical(outer.height - host::kFrameHeight, dpi)};
  // The window's own styles: Windows gave it the caption an overlapped window always has.
  const auto style = static_cast<DWORD>(GetWindowLongA(window_->handle, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(window_->handle, GWL_EXSTYLE));
  if (const auto adjustForDpi = DpiFunctions::get().adjustForDpi; adjustForDpi != nullptr) {
    adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  }
  SetWindowPos(window_->handle, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE);
}

Size Win32Host::clientSize() {
  RECT client{};
  GetClientRect(window_->handle, &client);
  return {dpi::toLogical(client.right - client.left, window_->dpi),
          dpi::toLogical(client.bottom - client.top, window_->dpi)};
}

Point Win32Host::windowPosition() {
  RECT outer{};
  GetWindowRect(window_->handle, &outer);
  return {outer.left, outer.top};
}

void Win32Host::setTopmost(bool topmost) {
  SetWindowPos(window_->handle, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Host::setOpacity(std::uint8_t alpha) {
  SetLayeredWindowAttributes(window_->handle, 0, alpha, LWA_ALPHA);
}

void Win32Host::showWindow() {
  ShowWindow(window_->handle, SW_SHOWNORMAL);
  UpdateWindow(window_->handle);
}

bool Win32Host::isLeftButtonDown() { return GetAsyncKeyState(VK_LBUTTON) != 0; }

void Win32Host::openUrl(const std::string& url) {
  ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Canvas& Win32Host::beginPaint() {
  const HDC dc = BeginPaint(window_->handle, &window_->paint);
  return window_->paintCanvas.emplace(window_->instance, dc, window_->dpi);
}

void Win32Host::endPaint() {
  window_->paintCanvas.reset();
  EndPaint(window_->handle, &window_->paint);
}

Canvas& Win32Host::getDC() {
  window_->windowDc = GetDC(window_->handle);
  return window_->windowCanvas.emplace(window_->instance, window_->windowDc, window_->dpi);
}

void Win32Host::releaseDC() {
  window_->windowCanvas.reset();
  if (window_->windowDc != nullptr) ReleaseDC(window_->handle, window_->windowDc);
  window_->windowDc = nullptr;
}

void Win32Host::postQuit(int exitCode) { PostQuitMessage(exitCode); }

int Win32Host::runMessageLoop() {
  MSG message{};
  // GetMessageA answers -1 only for an invalid window filter, which a null filter never is;
  // stopping on it rather than spinning keeps the program from hanging all the same.
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

std::int64_t Win32Host::currentTime() { return static_cast<std::int64_t>(std::time(nullptr)); }

LRESULT CALLBACK Win32Host::Window::systemProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* state = static_cast<Window*>(create->lpCreateParams);
    state->handle = window;
    state->dpi = windowDpi(window);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY have no host.
  auto* state = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);

  if (message == kDpiChanged) {
    // The window moved to a monitor of another DPI, or its DPI was changed: the suggested
    // rectangle keeps the same logical size there, and the whole picture is drawn again.
    state->dpi = std::max(static_cast<int>(LOWORD(wParam)), dpi::kLogical);
    // Another program may post the message without the rectangle.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam); suggested != nullptr) {
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window, nullptr, FALSE);
    return 0;
  }

  // The game works in logical pixels.
  const LPARAM gameParam = hasClientPoint(message) ? logicalPoint(lParam, state->dpi) : lParam;
  std::intptr_t result = msg::kDefault;
  try {
    result = state->procedure.windowProc(message, wParam, gameParam);
  } catch (const std::bad_alloc&) {
    // An exception cannot unwind through USER32's frames back to WinMain: the program ends
    // here, with nothing written.
    endWithFatalError(kOutOfMemoryText);
  }
  if (result == msg::kDefault) result = DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    state->handle = nullptr;
  }
  return result;
}
