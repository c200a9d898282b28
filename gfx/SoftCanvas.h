// The software canvas: draws into a 32-bit pixel buffer following GDI's pixel rules.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"
#include "gfx/Surface.h"
#include "gfx/WidePen.h"

class BitmapSource;
class TextRenderer;

// Pixels are 0x00RRGGBB, rows top-down. Every drawing call is clipped to the canvas, so any
// coordinates (negative, huge, INT_MIN/INT_MAX) are safe. At a scale s above 1 the drawing calls
// and paintOffscreen take logical coordinates, s physical pixels each: lines, rectangles and
// bitmaps draw their scale-1 pixels as s x s blocks (a one-pixel line covers exactly the blocks
// of its scale-1 pixels, so outside text the picture is the scale-1 one enlarged), and text is
// rendered afresh at s times its size. The size,
// pixels() and pixel() are in physical pixels. Inside paintOffscreen every drawing
// call but blit first blackens what is left of the fresh frame; they reach the pixels only
// through drawing(), which does it. Lines of wide pens are rasterised by WidePen.
class SoftCanvas final : public Canvas {
 public:
  // Either pointer may be null: blits or text then draw nothing. Both must outlive the canvas.
  // A new canvas is black, like a new GDI bitmap.
  SoftCanvas(int width, int height, const BitmapSource* bitmaps, TextRenderer* text);
  // A copy owns its pixels, wherever the original draws; a move keeps them where they are.
  SoftCanvas(const SoftCanvas& other);
  SoftCanvas& operator=(const SoftCanvas& other);
  SoftCanvas(SoftCanvas&& other) noexcept;
  SoftCanvas& operator=(SoftCanvas&& other) noexcept;

  // The text renderer to draw text with from now on (null: text draws nothing); it must
  // outlive the canvas.
  void setTextRenderer(TextRenderer* text) { text_ = text; }

  // The largest scale, for the canvas and every host's choice (docs/player-facts.txt, "scale"):
  // the wide window is already about as wide as a 4K screen at it.
  static constexpr int kMaxScale = 4;

  int width() const { return width_; }
  int height() const { return height_; }
  // Physical pixels per logical one, clamped to 1..kMaxScale.
  int scale() const { return scale_; }
  void setScale(int scale);
  // Negative sizes count as 0. The content becomes black.
  void resize(int width, int height);
  // The same, drawing into `storage` instead of a buffer of the canvas's own: memory a window
  // system reads the frame from (a shared-memory segment), so the frame needs no copy. It must
  // hold width x height pixels (else the canvas keeps its own buffer) and stay valid until the
  // next resize.
  void resize(int width, int height, std::span<std::uint32_t> storage);
  // Carries the picture into `storage` and draws there from now on: a window system's next
  // buffer, while it still reads the last one. Storage that cannot hold the picture (empty
  // included) gives the canvas a buffer of its own again, the picture carried into it.
  void moveTo(std::span<std::uint32_t> storage);
  // The same without carrying the picture, for a frame about to repaint every pixel: the old
  // memory is never read (it may be gone already), and the new content stands in until then.
  void moveToDiscarding(std::span<std::uint32_t> storage);

  // Read-only: every write goes through a drawing call, which settles paintOffscreen's frame
  // first. During paintOffscreen the frame's content is settled only when it returns.
  std::span<const std::uint32_t> pixels() const { return pixels_; }
  // 0 outside the canvas.
  std::uint32_t pixel(int x, int y) const;
  // Fills the whole canvas, whatever frame is being painted (what is left of that frame counts
  // as blackened, so the fill stays).
  void fill(std::uint32_t rgb);

  // COLORREF 0x00BBGGRR to 0x00RRGGBB; only the low 24 bits count.
  static std::uint32_t toRgb(Colour colour);

  void blit(int bitmapId, int x, int y, int width, int height) override;
  void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override;
  void line(Point from, Point to, const Pen& pen) override;
  void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override;
  void paintOffscreen(int width, int height, Painter& painter) override;

 private:
  // Narrows the clip for its lifetime and puts the previous one back when it ends.
  class ClipScope {
   public:
    ClipScope(SoftCanvas& canvas, const Rect& clip) : canvas_(canvas), saved_(canvas.clip_) {
      canvas.clip_ = clip;
    }
    ~ClipScope() { canvas_.clip_ = saved_; }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

   private:
    SoftCanvas& canvas_;
    Rect saved_;
  };

  // The one way a drawing call reaches the pixels, blit excepted: it settles paintOffscreen's
  // frame first, so whatever the call draws lands on a frame that is black where nothing was
  // blitted yet. Call it once the call knows it draws something.
  // `scale` above 1 gives a surface addressed in logical pixels (see Surface).
  Surface drawing(int scale = 1);
  // Logical coordinates to physical ones, held to the range of int.
  int physical(int logical) const;
  Rect physical(const Rect& logical) const;
  // Blackens what is left of paintOffscreen's frame.
  void settleFrame();
  // moveTo, the picture carried only when `carry`.
  void relocate(std::span<std::uint32_t> storage, bool carry);
  // Takes a blitted part out of what is left to blacken: a blit writes every pixel it covers.
  void coverFrame(const Rect& written);

  int width_ = 0;
  int height_ = 0;
  int scale_ = 1;
  // The pixels drawn into: owned_, or storage given to resize.
  std::span<std::uint32_t> pixels_;
  std::vector<std::uint32_t> owned_;
  const BitmapSource* bitmaps_ = nullptr;
  TextRenderer* text_ = nullptr;
  // Drawing touches only this part of the canvas: all of it, except while paintOffscreen
  // paints its frame.
  Rect clip_;
  // paintOffscreen's frame starts black, but a part is only blackened when something other
  // than a blit is drawn: blits write every pixel they cover, so the background images that
  // usually come first leave nothing to clear. These are the parts not yet blackened or
  // blitted over; a fixed array, so painting never allocates.
  static constexpr int kMaxUncleared = 16;
  std::array<Rect, kMaxUncleared> uncleared_{};
  int unclearedCount_ = 0;
  // Kept so that a repeated wide pen needs no allocation.
  WidePen widePen_;
};
