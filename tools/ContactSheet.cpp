// deradu-contact-sheet: every built-in bitmap and the icon on one PNG, each labelled with its
// id, for a person to look over. Small pictures are shown again four times enlarged, and the
// picture skin's pieces once more laid together as the solved board shows them.
// Usage: deradu-contact-sheet OUTPUT.png
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gfx/resources/ResourceStore.h"
#include "gfx/SoftCanvas.h"
#include "gfx/TextRenderer.h"
#include "gfx/codecs/PngWriter.h"

namespace {

constexpr int kSheetWidth = 1240;
constexpr int kMargin = 16;
constexpr int kLabelHeight = 18;
constexpr int kZoom = 4;
constexpr std::uint32_t kBackdrop = 0x505458;
constexpr Colour kLabelColour = 0x00F0F0F0;
const Font kLabelFont{13, 0, 700};

struct Extent {
  int width = 0;
  int height = 0;
};

// Places boxes left to right in rows, starting a new row when one would not fit.
class Shelf {
 public:
  Point place(int width, int height) {
    if (x_ + width > kSheetWidth - kMargin && x_ > kMargin) {
      newRow();
    }
    const Point at{x_, y_};
    x_ += width + kMargin;
    rowHeight_ = std::max(rowHeight_, height);
    return at;
  }
  void newRow() {
    x_ = kMargin;
    y_ += rowHeight_ + kMargin;
    rowHeight_ = 0;
  }
  int bottom() const { return y_ + rowHeight_ + kMargin; }

 private:
  int x_ = kMargin;
  int y_ = kMargin;
  int rowHeight_ = 0;
};

struct Item {
  std::string label;
  // Bitmap ids laid out as `columns` wide grid (one id for a single picture); 0 is the icon.
  std::vector<int> ids;
  int columns = 1;
  int zoom = 1;
  int gap = 0;
};

class Sheet {
 public:
  Sheet(const ResourceStore& store, TextRenderer& text) : store_(store), text_(text) {}

  // Lays the items out twice: once to measure the sheet, once to draw.
  std::vector<std::uint32_t> render(const std::vector<Item>& items, int& height) {
    Shelf measure;
    for (const Item& item : items) {
      const auto [width, itemHeight] = size(item);
      measure.place(width, itemHeight + kLabelHeight);
    }
    height = measure.bottom();
    SoftCanvas canvas(kSheetWidth, height, &store_, &text_);
    canvas.fill(kBackdrop);
    Shelf shelf;
    for (const Item& item : items) {
      const auto [width, itemHeight] = size(item);
      const Point at = shelf.place(width, itemHeight + kLabelHeight);
      draw(canvas, item, at);
      canvas.text(
          Rect{at.x - 8, at.y + itemHeight, at.x + width + 8, at.y + itemHeight + kLabelHeight},
          item.label, kLabelFont, kLabelColour);
    }
    return {canvas.pixels().begin(), canvas.pixels().end()};
  }

 private:
  const BitmapView* picture(int id) const { return id == 0 ? &store_.icon() : store_.find(id); }

  Extent cell(const Item& item) const {
    const BitmapView* first = picture(item.ids.front());
    return first ? Extent{first->width * item.zoom, first->height * item.zoom} : Extent{40, 40};
  }

  Extent size(const Item& item) const {
    const Extent one = cell(item);
    const int columns = std::min<int>(item.columns, static_cast<int>(item.ids.size()));
    const int rows = (static_cast<int>(item.ids.size()) + item.columns - 1) / item.columns;
    // A grid with gaps has each tile's id in the gap below it, the last row's too.
    return {columns * one.width + (columns - 1) * item.gap, rows * one.height + rows * item.gap};
  }

  void draw(SoftCanvas& canvas, const Item& item, Point at) const {
    const Extent one = cell(item);
    for (std::size_t i = 0; i < item.ids.size(); ++i) {
      const int column = static_cast<int>(i) % item.columns;
      const int row = static_cast<int>(i) / item.columns;
      const int left = at.x + column * (one.width + item.gap);
      const int top = at.y + row * (one.height + item.gap);
      const BitmapView* view = picture(item.ids[i]);
      if (view == nullptr) {
        canvas.rectangle(Rect{left, top, left + one.width, top + one.height}, Pen{0x0000FF, 1},
                         0x202020);
        continue;
      }
      // Each bitmap pixel a zoom x zoom block, drawn through the canvas like everything else.
      for (int y = 0; y < view->height; ++y) {
        for (int x = 0; x < view->width; ++x) {
          const std::uint32_t rgb = view->pixels[static_cast<std::size_t>(y * view->width + x)];
          const auto colour =
              static_cast<Colour>(((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu));
          const Rect block{left + x * item.zoom, top + y * item.zoom, left + (x + 1) * item.zoom,
                           top + (y + 1) * item.zoom};
          canvas.rectangle(block, Pen{colour, 0}, colour);
        }
      }
      if (item.ids.size() > 1 && item.gap > 0) {
        // Each tile of a grid carries its own id in the gap below it.
        canvas.text(Rect{left, top + one.height, left + one.width, top + one.height + item.gap},
                    std::to_string(item.ids[i]), Font{11, 0, 400}, kLabelColour);
      }
    }
  }

  const ResourceStore& store_;
  TextRenderer& text_;
};

std::vector<int> range(int first, int last) {
  std::vector<int> ids;
  for (int id = first; id <= last; ++id) {
    ids.push_back(id);
  }
  return ids;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
    return 2;
  }
  const ResourceStore& store = ResourceStore::builtIn();
  TextRenderer text;
  std::vector<Item> items{
      {"101 background", {101}},
      {"607 side panel", {607}},
      {"100", {0}},
      {"100 icon x4", {0}, 1, kZoom},
      {"616 title bar", {616}},
      {"602 banner", {602}},
      {"602 x4", {602}, 1, kZoom},
      {"619", {619}},
      {"620", {620}},
      {"619, 620 x4", {619, 620}, 2, kZoom, 14},
  };
  for (const int id : {614, 615, 617, 618, 632, 633}) {
    items.push_back({std::to_string(id), {id}});
  }
  items.push_back({"614 615 617 618 632 633 x4", {614, 615, 617, 618, 632, 633}, 6, kZoom, 16});
  items.push_back({"700-715 numbered skin", range(700, 715), 4, 1, 14});
  items.push_back({"716-731 picture skin", range(716, 731), 4, 1, 14});
  items.push_back({"716-731 laid together", range(716, 731), 4, 1, 0});

  int height = 0;
  const std::vector<std::uint32_t> pixels = Sheet(store, text).render(items, height);
  if (!PngWriter::write(argv[1], pixels, kSheetWidth, height)) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  int missing = 0;
  for (const Item& item : items) {
    for (const int id : item.ids) {
      missing += (id == 0 ? store.icon().width == 0 : store.find(id) == nullptr) ? 1 : 0;
    }
  }
  std::printf("%s: %d x %d, %zu bitmaps%s\n", argv[1], kSheetWidth, height,
              store.bitmapIds().size(), missing > 0 ? ", some missing (red frames)" : "");
  return 0;
}
