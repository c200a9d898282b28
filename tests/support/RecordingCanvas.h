// A canvas that records each drawing call as text, for tests of what widgets draw.
#pragma once

#include <string>
#include <vector>

#include "platform/canvas.h"

class RecordingCanvas final : public Canvas {
 public:
  std::vector<std::string> calls;

  void blit(int bitmapId, int x, int y, int width, int height) override {
    calls.push_back("blit " + std::to_string(bitmapId) + " " + box(x, y, width, height));
  }
  void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override {
    calls.push_back("rect " + edges(area) + " pen " + std::to_string(pen.colour) + "/" +
                    std::to_string(pen.width) + " brush " +
                    (brush ? std::to_string(*brush) : std::string("none")));
  }
  void line(Point from, Point to, const Pen& pen) override {
    calls.push_back("line " + std::to_string(from.x) + "," + std::to_string(from.y) + " " +
                    std::to_string(to.x) + "," + std::to_string(to.y) + " pen " +
                    std::to_string(pen.colour) + "/" + std::to_string(pen.width));
  }
  void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override {
    calls.push_back("text " + edges(area) + " '" + std::string(text) + "' " +
                    std::to_string(font.height) + "/" + std::to_string(font.width) + "/" +
                    std::to_string(font.weight) + " colour " + std::to_string(colour));
  }
  void paintOffscreen(int width, int height, Painter& painter) override {
    calls.push_back("offscreen " + std::to_string(width) + "x" + std::to_string(height));
    painter.paint(*this);
    calls.push_back("copy");
  }

 private:
  static std::string box(int x, int y, int width, int height) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
           std::to_string(height);
  }
  static std::string edges(const Rect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
  }
};
