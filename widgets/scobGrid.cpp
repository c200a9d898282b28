// The grid's layout, cell hit test, cursor keys and drawing.
#include "widgets/scobGrid.h"

#include <string>

#include "platform/messages.h"
#include "skin/scobSkin.h"

scobGrid::scobGrid() {
  visible = true;
  mouseActive = true;
}

bool scobGrid::layout(int left, int top, int newWidth, int newHeight, int newColumns,
                      int newRows, const scobSkin* newSkin) {
  // A zero would divide by zero and more than the array holds would run past the cells.
  if (newColumns < 1 || newColumns > kMaxCells || newRows < 1 || newRows > kMaxCells) {
    return false;
  }
  setGeometry(left, top, newWidth, newHeight);
  columns = newColumns;
  rows = newRows;
  cellWidth = newWidth / newColumns;
  cellHeight = newHeight / newRows;
  cursorColumn = 1;
  cursorRow = 1;
  setSkin(newSkin);
  return true;
}

void scobGrid::style(int newVLineClass, int newHLineClass, int newCursorClass, int newLineWidth,
                     int newCursorWidth, int newImageClass, int newFillClass, int newTextClass,
                     int newTextColourClass, int newShowLines, int newShowCursor) {
  vLineClass = newVLineClass;
  hLineClass = newHLineClass;
  cursorClass = newCursorClass;
  lineWidth = newLineWidth;
  cursorWidth = newCursorWidth;
  imageClass = newImageClass;
  fillClass = newFillClass;
  textClass = newTextClass;
  textColourClass = newTextColourClass;
  showLines = newShowLines;
  showCursor = newShowCursor;
}

void scobGrid::keyInput(int key) {
  switch (key) {
    case vk::kLeft:
      if (--cursorColumn < 0) cursorColumn = columns - 1;
      break;
    case vk::kUp:
      if (--cursorRow < 0) cursorRow = rows - 1;
      break;
    case vk::kRight:
      if (++cursorColumn >= columns) cursorColumn = 0;
      break;
    case vk::kDown:
      if (++cursorRow >= rows) cursorRow = 0;
      break;
    default:
      onKey(key);
      return;
  }
  dirty = true;
}

bool scobGrid::cellContains(int column, int row, std::int64_t px, std::int64_t py) const {
  const std::int64_t left = std::int64_t{cellWidth} * column;
  const std::int64_t top = std::int64_t{cellHeight} * row;
  return left <= px && px <= left + cellWidth && top <= py && py <= top + cellHeight;
}

bool scobGrid::mouseButton(int px, int py, int type, int flag) {
  if (type != kPress) return false;
  const std::int64_t relativeX = std::int64_t{px} - x;
  const std::int64_t relativeY = std::int64_t{py} - y;
  bool hit = false;
  // Bounds are inclusive and the scan goes on after a hit, so a point on the line between two
  // columns reaches both cells, left first; between two rows only the upper one.
  for (int column = 0; column < columns; ++column) {
    for (int row = 0; row < rows; ++row) {
      if (!cellContains(column, row, relativeX, relativeY)) continue;
      cursorRow = row;
      cursorColumn = column;
      dirty = true;
      onKey(flag == kLeftButton ? kLeftClick : kOtherClick);
      hit = true;
      break;
    }
  }
  return hit;
}

bool scobGrid::mouseMove(int px, int py) {
  if (!leftButtonDown || !leftButtonDown()) return false;
  const std::int64_t relativeX = std::int64_t{px} - x;
  const std::int64_t relativeY = std::int64_t{py} - y;
  for (int column = 0; column < columns; ++column) {
    for (int row = 0; row < rows; ++row) {
      if (cellContains(column, row, relativeX, relativeY)) return true;
    }
  }
  return false;
}

int scobGrid::getCell(int column, int row) const { return cellAt(column, row); }

int scobGrid::cellAt(int column, int row) const {
  return inArray(column, row) ? cells[column][row] : 0;
}

Pen scobGrid::linePen(int, int) const {
  return Pen{skin != nullptr ? skin->colour(vLineClass, 1) : 0, lineWidth};
}

void scobGrid::drawCell(Canvas& canvas, int column, int row) {
  const int value = cells[column][row];
  const Rect cell{x + cellWidth * column, y + cellHeight * row, x + cellWidth * (column + 1),
                  y + cellHeight * (row + 1)};
  const std::int32_t id = skin->image(imageClass, value, imageExtra);
  if (id > 0) {
    canvas.blit(id, cell.left, cell.top, cellWidth, cellHeight);
    return;
  }
  const Colour fill = skin->colour(fillClass, value);
  canvas.rectangle(cell, Pen{fill, 0}, fill);
  const std::string text = skin->string(textClass, value);
  if (text.empty()) return;
  const Font heavy{cellHeight - 10, cellWidth - 25, 900};
  canvas.text(cell, text, heavy, skin->colour(textColourClass, value));
}

void scobGrid::drawContent(Canvas& canvas) {
  // No visibility test here: the scene's paint pass draws only visible objects.
  if (skin != nullptr) {
    for (int column = 0; column < columns; ++column) {
      for (int row = 0; row < rows; ++row) drawCell(canvas, column, row);
    }
    if (showLines != 0) {
      // The lines run over the whole widget, not only over the cells.
      for (int k = 0; k <= columns; ++k) {
        const int lineX = x + cellWidth * k;
        canvas.line({lineX, y}, {lineX, y + height}, linePen(k, 0));
      }
      for (int k = 0; k <= rows; ++k) {
        const int lineY = y + cellHeight * k;
        canvas.line({x, lineY}, {x + width, lineY}, linePen(k, 0));
      }
    }
    if (showCursor != 0) {
      const Rect cursor{x + cellWidth * cursorColumn, y + cellHeight * cursorRow,
                        x + cellWidth * (cursorColumn + 1), y + cellHeight * (cursorRow + 1)};
      canvas.rectangle(cursor, Pen{skin->colour(cursorClass, 1), cursorWidth}, std::nullopt);
    }
  }
  dirty = false;
}
