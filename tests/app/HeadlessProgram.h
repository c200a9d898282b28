// The whole program on the headless host, with a settings file in a fresh temporary folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/ApplicationState.h"
#include "app/ScreenTable.h"
#include "hosts/headless/HeadlessHost.h"
#include "platform/messages.h"
#include "gfx/resources/ResourceStore.h"
#include "gfx/TextRenderer.h"
#include "support/GoldenText.h"

// One font cache for every test, like the system's, with the faces the golden frames were
// drawn with.
inline TextRenderer& sharedText() { return goldenText(); }

class HeadlessProgram {
 public:
  // `settings` is the settings file's contents; none means no file.
  explicit HeadlessProgram(const char* settings = nullptr, std::int64_t time = 1700000000)
      : folder_(makeFolder()),
        app_(settingsPath()),
        host_(app_, &ResourceStore::builtIn(), &sharedText()) {
    host_.setTime(time);
    if (settings != nullptr) writeSettings(settings);
  }
  ~HeadlessProgram() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  HeadlessProgram(const HeadlessProgram&) = delete;
  HeadlessProgram& operator=(const HeadlessProgram&) = delete;

  void writeSettings(const std::string& text) {
    std::filesystem::create_directories(settingsPath().parent_path());
    std::ofstream(settingsPath(), std::ios::binary) << text;
  }
  std::string readSettings() const {
    std::ifstream in(settingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::filesystem::path settingsPath() const {
    return folder_ / "qor" / "revaziriv" / "revAziriv.ini";
  }

  // Start-up through the first tick, so the first frame is painted.
  void start() {
    app_.start(host_);
    host_.ticks(1);
  }
  // The orderly end: WM_DESTROY, then the settings written after the loop.
  void close() {
    host_.send(msg::kDestroy);
    app_.finish();
  }

  Application& app() { return app_; }
  const Application::State& state() const { return app_.state(); }
  HeadlessHost& host() { return host_; }

  // Presses and releases in the middle of board cell (column, row).
  void clickCell(int column, int row) {
    const screen::Box& board = screen::kBoard;
    const int cell = board.width / screen::kGridCells;
    host_.click(board.x + cell * column + cell / 2, board.y + cell * row + cell / 2);
  }
  // Presses and releases in the middle of a widget's box.
  void clickBox(const screen::Box& box) {
    host_.click(box.x + box.width / 2, box.y + box.height / 2);
  }
  // Clicks a tile beside the blank; returns false when the board has none (never on 4 x 4).
  bool slideAnyTile();
  // Slides the board into the solved order by the player's own moves, from a solved board
  // with the blank walked away (so a completion really comes from the player).
  void completeByHand();

 private:
  static std::filesystem::path makeFolder();

  std::filesystem::path folder_;
  Application app_;
  HeadlessHost host_;
};
