// The Windows host: the "winMain" window class, one layered window and its message loop.
#include "hosts/win32/Win32Host.h"

#include <shellapi.h>

#include <ctime>
#include <new>

#include "platform/hostConstants.h"
#include "platform/messages.h"
#include "hosts/win32/FatalErrorReport.h"
#include "settings/SettingsPath.h"

namespace {

using host::kIconId;
using host::kWindowClass;
// No menu resource has this id, so the window has no menu.
constexpr int kMenuId = 10000;
// CS_VREDRAW | CS_HREDRAW | CS_OWNDC.
constexpr UINT kClassStyle = 0x23;
// No sizing frame and no maximise box; Windows adds the caption an overlapped window always has.
constexpr DWORD kWindowStyle = WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

Win32Host::Win32Host(HINSTANCE instance, WindowProcedure& procedure)
    : instance_(instance), procedure_(procedure) {}

Win32Host::~Win32Host() {
  if (window_ != nullptr) {
    // The window outlived the message loop: it goes without telling the procedure, whose run
    // is over.
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

void Win32Host::registerWindowClass() {
  WNDCLASSA windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = &Win32Host::windowProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(kIconId));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = MAKEINTRESOURCEA(kMenuId);
  windowClass.lpszClassName = kWindowClass;
  if (RegisterClassA(&windowClass) == 0) fatalErrorReport("Main1");
}

std::filesystem::path Win32Host::settingsPath() { return settingsFilePath(); }

Size Win32Host::fullScreenSize() {
  return {GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN)};
}

bool Win32Host::createWindow(const char* title, Point position) {
  // The host rides along in the creation parameters, so WM_NCCREATE can bind the window to it
  // before WM_CREATE arrives.
  const HWND window = CreateWindowExA(WS_EX_LAYERED, kWindowClass, title, kWindowStyle,
                                      position.x, position.y, 0, 0, nullptr, nullptr, instance_,
                                      this);
  return window != nullptr;
}

// The results of the window calls below are ignored on purpose: the window either does it or
// stays as it was, and the game goes on either way.

void Win32Host::setTimer(int id, int milliseconds) {
  SetTimer(window_, static_cast<UINT_PTR>(id), static_cast<UINT>(milliseconds), nullptr);
}

void Win32Host::resizeWindow(Size outer) {
  SetWindowPos(window_, nullptr, 0, 0, outer.width, outer.height, SWP_NOMOVE);
}

Size Win32Host::clientSize() {
  RECT client{};
  GetClientRect(window_, &client);
  return {client.right - client.left, client.bottom - client.top};
}

Point Win32Host::windowPosition() {
  RECT outer{};
  GetWindowRect(window_, &outer);
  return {outer.left, outer.top};
}

void Win32Host::setTopmost(bool topmost) {
  SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

void Win32Host::setOpacity(std::uint8_t alpha) {
  SetLayeredWindowAttributes(window_, 0, alpha, LWA_ALPHA);
}

void Win32Host::showWindow() {
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

bool Win32Host::isLeftButtonDown() { return GetAsyncKeyState(VK_LBUTTON) != 0; }

void Win32Host::openUrl(const std::string& url) {
  ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Canvas& Win32Host::beginPaint() {
  const HDC dc = BeginPaint(window_, &paint_);
  return paintCanvas_.emplace(instance_, dc);
}

void Win32Host::endPaint() {
  paintCanvas_.reset();
  EndPaint(window_, &paint_);
}

Canvas& Win32Host::getDC() {
  windowDc_ = GetDC(window_);
  return windowCanvas_.emplace(instance_, windowDc_);
}

void Win32Host::releaseDC() {
  windowCanvas_.reset();
  if (windowDc_ != nullptr) ReleaseDC(window_, windowDc_);
  windowDc_ = nullptr;
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

LRESULT CALLBACK Win32Host::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* host = static_cast<Win32Host*>(create->lpCreateParams);
    host->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
  }
  // Messages before WM_NCCREATE (WM_GETMINMAXINFO) and after WM_NCDESTROY have no host.
  auto* host = reinterpret_cast<Win32Host*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (host == nullptr) return DefWindowProcA(window, message, wParam, lParam);

  std::intptr_t result = msg::kDefault;
  try {
    result = host->procedure_.windowProc(message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    // An exception cannot unwind through USER32's frames back to WinMain: the program ends
    // here, with nothing written.
    outOfMemoryReport();
  }
  if (result == msg::kDefault) result = DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    host->window_ = nullptr;
  }
  return result;
}
