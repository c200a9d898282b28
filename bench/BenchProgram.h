// The whole program on the headless host, started and painted once, for timing.
#pragma once

#include "app/Application.h"
#include "app/ApplicationState.h"
#include "hosts/headless/HeadlessHost.h"
#include "platform/messages.h"
#include "gfx/TextRenderer.h"

class BenchProgram {
 public:
  enum class Width { kNarrow, kWide };

  // Started with no settings file (empty path: nothing is read, nothing is written), in the
  // given skin and width, drawing at `scale`, with its first frame painted and nothing left
  // dirty.
  BenchProgram(Width width, int skin, int scale = 1);
  BenchProgram(const BenchProgram&) = delete;
  BenchProgram& operator=(const BenchProgram&) = delete;

  Application& app() { return app_; }
  Application::State& state() { return app_.state(); }
  HeadlessHost& host() { return host_; }

  // A full repaint of the scene into the frame, as WM_PAINT does it.
  void paint() { host_.send(msg::kPaint); }
  void tick() { host_.send(msg::kTimer, kTimerId); }
  // Clicks board cell (column, row): the press slides that tile when the blank is beside it.
  void clickCell(int column, int row);
  // The blank's cell.
  Point blank();

 private:
  static constexpr std::uintptr_t kTimerId = 111;

  // One font cache for the process, like the system's.
  static TextRenderer& sharedText();

  Application app_;
  HeadlessHost host_;
};
