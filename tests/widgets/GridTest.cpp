// The grid widget: layout limits, the cell hit test, cursor keys and its drawing.
#include <gtest/gtest.h>

#include "platform/messages.h"
#include "skin/skinClasses.h"
#include "skin/skinInstance.h"
#include "tests/support/RecordingCanvas.h"
#include "widgets/scobGrid.h"

namespace {

using namespace skinClass;

// A grid that records every onKey it receives.
class KeyGrid final : public scobGrid {
 public:
  std::vector<int> keys;
  std::vector<std::pair<int, int>> cursors;
  void onKey(int code) override {
    keys.push_back(code);
    cursors.emplace_back(cursorColumn, cursorRow);
  }
  void setCell(int column, int row, int value) { cells[column][row] = value; }
};

class Grid : public ::testing::Test {
 protected:
  skinInstance skin;
  KeyGrid grid;
};

}  // namespace

TEST_F(Grid, LayoutRefusesSizesTheCellsCannotHold) {
  ASSERT_TRUE(grid.layout(30, 45, 312, 312, 4, 4, &skin));
  for (auto [columns, rows] : {std::pair{0, 4}, {4, 0}, {151, 4}, {4, 151}, {-1, -1}}) {
    EXPECT_FALSE(grid.layout(0, 0, 10, 10, columns, rows, &skin));
    EXPECT_EQ(grid.getColumns(), 4);
    EXPECT_EQ(grid.getRows(), 4);
    EXPECT_EQ(grid.rect(), (Rect{30, 45, 342, 357}));
  }
  EXPECT_TRUE(grid.layout(0, 0, 150, 150, 150, 150, &skin));
}

TEST_F(Grid, PressFindsCellsWithInclusiveEdges) {
  grid.layout(30, 45, 310, 312, 4, 4, &skin);  // 77 x 78 cells; the cells end at 308
  struct Case {
    int x, y;
    std::vector<std::pair<int, int>> hits;  // cursor at each onKey
  };
  const Case cases[] = {
      {30, 45, {{0, 0}}},
      {30 + 77, 45 + 10, {{0, 0}, {1, 0}}},          // on a vertical line: both columns
      {30 + 10, 45 + 78, {{0, 0}}},                  // on a horizontal line: the upper row
      {30 + 77, 45 + 78, {{0, 0}, {1, 0}}},          // on a crossing: upper cell of both
      {30 + 308, 45 + 311, {{3, 3}}},                // last cell's own edge
      {30 + 309, 45 + 10, {}},                       // beyond the last cell, inside the widget
      {29, 45, {}},
  };
  for (const Case& c : cases) {
    grid.keys.clear();
    grid.cursors.clear();
    grid.setDirty(false);
    const bool hit = grid.mouseButton(c.x, c.y, scob::kPress, 0);
    EXPECT_EQ(hit, !c.hits.empty()) << c.x << "," << c.y;
    EXPECT_EQ(grid.cursors, c.hits) << c.x << "," << c.y;
    EXPECT_EQ(grid.keys, std::vector<int>(c.hits.size(), scobGrid::kLeftClick));
    EXPECT_EQ(grid.isDirty(), hit);
  }
}

TEST_F(Grid, OtherButtonsAndReleases) {
  grid.layout(0, 0, 40, 40, 4, 4, &skin);
  grid.mouseButton(5, 5, scob::kPress, 1);
  EXPECT_EQ(grid.keys, std::vector<int>{scobGrid::kOtherClick});
  // A release never counts and changes nothing.
  grid.setDirty(false);
  EXPECT_FALSE(grid.mouseButton(5, 5, scob::kRelease, 0));
  EXPECT_FALSE(grid.isDirty());
  EXPECT_EQ(grid.keys.size(), 1u);
}

TEST_F(Grid, MoveReportsCellsOnlyWhileTheLeftButtonIsDown) {
  grid.layout(0, 0, 40, 40, 4, 4, &skin);
  EXPECT_FALSE(grid.mouseMove(5, 5));
  bool down = false;
  grid.setLeftButtonQuery([&down] { return down; });
  EXPECT_FALSE(grid.mouseMove(5, 5));
  down = true;
  grid.setDirty(false);
  EXPECT_TRUE(grid.mouseMove(5, 5));
  EXPECT_FALSE(grid.mouseMove(50, 5));
  EXPECT_FALSE(grid.isDirty());
  EXPECT_TRUE(grid.keys.empty());
}

TEST_F(Grid, ArrowKeysWrapAndOtherKeysPassThroughUntouched) {
  grid.layout(0, 0, 40, 30, 4, 3, &skin);
  struct Step {
    int key;
    int column, row;
  };
  // The cursor starts at (1, 1).
  const Step steps[] = {{vk::kLeft, 0, 1},  {vk::kLeft, 3, 1},  {vk::kRight, 0, 1},
                        {vk::kUp, 0, 0},    {vk::kUp, 0, 2},    {vk::kDown, 0, 0},
                        {vk::kRight, 1, 0}, {vk::kRight, 2, 0}, {vk::kRight, 3, 0},
                        {vk::kRight, 0, 0}};
  for (const Step& step : steps) {
    grid.setDirty(false);
    grid.keyInput(step.key);
    EXPECT_EQ(grid.getCursorColumn(), step.column);
    EXPECT_EQ(grid.getCursorRow(), step.row);
    EXPECT_TRUE(grid.isDirty());
  }
  EXPECT_TRUE(grid.keys.empty());
  grid.setDirty(false);
  grid.keyInput('N');
  grid.keyInput(-1);
  EXPECT_EQ(grid.keys, (std::vector<int>{'N', -1}));
  EXPECT_FALSE(grid.isDirty());
}

TEST_F(Grid, DrawsCellsThenLinesThenCursor) {
  grid.layout(10, 20, 21, 20, 2, 2, &skin);  // 10 x 10 cells, one spare column of pixels
  grid.style(kGridLines, kGridLines, kGridCursor, 1, 3, kTileImage, kCellFill, kTileText, kCellText,
             1, 1);
  grid.setCell(0, 0, 1);   // tile bitmap
  grid.setCell(1, 0, 25);  // no bitmap: fill only, as its text is empty
  grid.setCell(0, 1, 31);  // no bitmap either
  grid.setCell(1, 1, 0);
  RecordingCanvas canvas;
  grid.draw(canvas);
  const std::vector<std::string> expected{
      // The inherited bitmap of (12, state 0) first: the blank tile over the whole grid.
      "blit 715 10,20 21x20", "blit 700 10,20 10x10", "rect 10,30-20,40 pen 0/0 brush 0",
      "rect 20,20-30,30 pen 0/0 brush 0", "blit 715 20,30 10x10",
      // Three vertical lines over the full height, the last at x + cellWidth * columns.
      "line 10,20 10,40 pen 0/1", "line 20,20 20,40 pen 0/1", "line 30,20 30,40 pen 0/1",
      // Horizontal lines run to x + width, past the last column.
      "line 10,20 31,20 pen 0/1", "line 10,30 31,30 pen 0/1", "line 10,40 31,40 pen 0/1",
      "rect 20,30-30,40 pen 255/3 brush none"};
  EXPECT_EQ(canvas.calls, expected);
  EXPECT_FALSE(grid.isDirty());
}

TEST_F(Grid, CellsWithoutBitmapGetFillAndHeavyText) {
  grid.layout(0, 0, 78, 78, 1, 1, &skin);
  grid.style(kGridLines, kGridLines, kGridCursor, 1, 3, kNoBitmap, kCellFill, kTileText, kCellText,
             0, 0);
  grid.setCell(0, 0, 3);
  RecordingCanvas canvas;
  grid.draw(canvas);
  const std::vector<std::string> expected{"rect 0,0-78,78 pen 65535/0 brush 65535",
                                          "text 0,0-78,78 '3' 68/53/900 colour 0"};
  EXPECT_EQ(canvas.calls, expected);
}
