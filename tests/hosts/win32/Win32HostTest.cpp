// The Windows host against the real window manager: one window's whole life, message by message.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "hosts/win32/Win32Api.h"
#include "hosts/win32/Win32Host.h"

namespace {

constexpr const char* kTitle = "Win32Host test window";
constexpr int kGiveUpTicks = 1000;

// Sizes the window during WM_CREATE, as the program does, ticks a few times, then asks for the
// window to close and ends the loop from WM_DESTROY. Everything else is left to the default.
class ScriptedProcedure final : public WindowProcedure {
 public:
  Win32Host* host = nullptr;
  std::vector<std::uint32_t> handled;
  Size clientDuringCreate;
  int ticks = 0;

  std::intptr_t windowProc(std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t) override {
    switch (message) {
      case msg::kCreate:
        handled.push_back(message);
        host->setTimer(111, 1);
        host->resizeWindow({477, 426});
        clientDuringCreate = host->clientSize();
        return 1;
      case msg::kTimer:
        if (wParam != 111) return 1;
        if (++ticks == 3) {
          handled.push_back(message);
          // WM_CLOSE is not handled here: the default destroys the window.
          PostMessageA(FindWindowA("winMain", kTitle), WM_CLOSE, 0, 0);
        } else if (ticks == kGiveUpTicks) {
          // The close went nowhere; end the loop so the test fails instead of hanging.
          host->postQuit(99);
        }
        return 1;
      case msg::kClose:
        handled.push_back(message);
        return msg::kDefault;
      case msg::kDestroy:
        handled.push_back(message);
        host->postQuit(7);
        return 1;
      default:
        return msg::kDefault;
    }
  }
};

TEST(Win32Host, RunsOneWindowFromCreationToTheQuitMessage) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  ScriptedProcedure procedure;
  {
    Win32Host host(instance, procedure);
    procedure.host = &host;

    ASSERT_TRUE(host.createWindow(kTitle, {40, 30}));
    // WM_CREATE ran inside creation, with the window already usable.
    ASSERT_EQ(procedure.handled, std::vector<std::uint32_t>{msg::kCreate});
    EXPECT_EQ(procedure.clientDuringCreate, (Size{471, 401}));
    EXPECT_EQ(host.clientSize(), procedure.clientDuringCreate);
    EXPECT_EQ(host.windowPosition(), (Point{40, 30}));

    const HWND window = FindWindowA("winMain", kTitle);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(GetClassLongA(window, GCL_HICON), 0u);

    host.setOpacity(190);
    host.setTopmost(true);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    host.setTopmost(false);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    host.showWindow();
    EXPECT_TRUE(IsWindowVisible(window));

    EXPECT_EQ(host.runMessageLoop(), 7);
    EXPECT_EQ(procedure.ticks, 3);
    EXPECT_EQ(procedure.handled,
              (std::vector<std::uint32_t>{msg::kCreate, msg::kTimer, msg::kClose, msg::kDestroy}));
    EXPECT_FALSE(IsWindow(window));
  }
  EXPECT_TRUE(UnregisterClassA("winMain", instance));
}

// Closes each fatal error's message box as it appears, as a person reading it would.
DWORD WINAPI closeErrorBoxes(void*) {
  for (;;) {
    if (const HWND box = FindWindowA("#32770", "Error"); box != nullptr) {
      PostMessageA(box, WM_CLOSE, 0, 0);
    }
    Sleep(10);
  }
}

TEST(Win32HostDeathTest, AWindowClassThatCannotBeRegisteredEndsTheRunWithCode2) {
  EXPECT_EXIT(
      {
        CloseHandle(CreateThread(nullptr, 0, closeErrorBoxes, nullptr, 0, nullptr));
        ScriptedProcedure procedure;
        const Win32Host first(GetModuleHandleA(nullptr), procedure);
        // The class is taken by the first host.
        const Win32Host second(GetModuleHandleA(nullptr), procedure);
      },
      ::testing::ExitedWithCode(2), "Main1 failed with error 1410");
}

}  // namespace
