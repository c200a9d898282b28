// The grid widget: columns x rows cells whose values pick bitmaps (or fill and text) from the skin.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "skin/ZeroPages.h"
#include "widgets/scob.h"

class scobGrid : public scob {
 public:
  static constexpr int kMaxCells = 150;
  // onKey codes after a press on a cell.
  static constexpr int kLeftClick = -1;
  static constexpr int kOtherClick = -2;

  scobGrid();

  // Returns false and leaves the grid as it was when columns or rows lie outside 1..150.
  bool layout(int left, int top, int newWidth, int newHeight, int newColumns, int newRows,
              const scobSkin* newSkin);
  void style(int newVLineClass, int newHLineClass, int newCursorClass, int newLineWidth,
             int newCursorWidth, int newImageClass, int newFillClass, int newTextClass,
             int newTextColourClass, int newShowLines, int newShowCursor);
  // Arrow keys move the cursor with wrap-around; every other key goes to onKey.
  void keyInput(int key);

  // Answers whether the left button is down (GetAsyncKeyState) for mouseMove.
  void setLeftButtonQuery(std::function<bool()> query) { leftButtonDown = std::move(query); }

  bool mouseButton(int px, int py, int type, int flag) override;
  // True only while the left button is down over a cell; changes nothing.
  bool mouseMove(int px, int py) override;
  void drawContent(Canvas& canvas) override;

  virtual int getCell(int column, int row) const;
  virtual void onKey(int) {}
  // The pen of grid line `index`; every line uses the vertical-line colour class.
  virtual Pen linePen(int index, int second) const;

  int getColumns() const { return columns; }
  int getRows() const { return rows; }
  int getCursorColumn() const { return cursorColumn; }
  int getCursorRow() const { return cursorRow; }
  // Cells outside the grid's array read 0.
  int cellAt(int column, int row) const;

 protected:
  static bool inArray(int column, int row) {
    return column >= 0 && column < kMaxCells && row >= 0 && row < kMaxCells;
  }
  // Cell (column, row) contains the grid-relative point, both ends inclusive.
  bool cellContains(int column, int row, std::int64_t px, std::int64_t py) const;

  int textClass = 0;
  int fillClass = 0;
  int textColourClass = 0;
  int cursorClass = 0;
  int vLineClass = 0;
  int hLineClass = 0;
  int lineWidth = 0;
  int cursorWidth = 0;
  int cursorColumn = 1;
  int cursorRow = 1;
  using Cells = std::array<std::array<std::int32_t, kMaxCells>, kMaxCells>;
  // A board uses one corner of the 90 kB array; cellPages must be declared before cells.
  ZeroPages<Cells> cellPages;
  Cells& cells = *cellPages;
  int columns = 0;
  int rows = 0;
  int cellWidth = 0;
  int cellHeight = 0;
  int showLines = 1;
  int showCursor = 1;

 private:
  void drawCell(Canvas& canvas, int column, int row);

  std::function<bool()> leftButtonDown;
};
