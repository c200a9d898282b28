// The software canvas: draws into a 32-bit pixel buffer following GDI's pixel rules.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas.h"

class BitmapSource;
class TextRenderer;

// Pixels are 0x00RRGGBB, rows top-down. Every drawing call is clipped to the canvas, so any
// coordinates (negative, huge, INT_MIN/INT_MAX) are safe.
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

  int width() const { return width_; }
  int height() const { return height_; }
  // Negative sizes count as 0. The content becomes black.
  void resize(int width, int height);
  // The same, drawing into `storage` instead of a buffer of the canvas's own: memory a window
  // system reads the frame from (a shared-memory segment), so the frame needs no copy. It must
  // hold width x height pixels (else the canvas keeps its own buffer) and stay valid until the
  // next resize.
  void resize(int width, int height, std::span<std::uint32_t> storage);

  // During paintOffscreen the frame's content is settled only when it returns.
  std::span<const std::uint32_t> pixels() const { return pixels_; }
  std::span<std::uint32_t> pixels() { return pixels_; }
  // 0 outside the canvas.
  std::uint32_t pixel(int x, int y) const;
  // Fills the whole canvas, whatever frame is being painted.
  void fill(std::uint32_t rgb);

  // COLORREF 0x00BBGGRR to 0x00RRGGBB; only the low 24 bits count.
  static std::uint32_t toRgb(Colour colour);

  void blit(int bitmapId, int x, int y, int width, int height) override;
  void rectangle(const Rect& area, const Pen& pen, std::optional<Colour> brush) override;
  void line(Point from, Point to, const Pen& pen) override;
  void text(const Rect& area, std::string_view text, const Font& font, Colour colour) override;
  void paintOffscreen(int width, int height, Painter& painter) override;

 private:
  // Fills the part of [left, right) x [top, bottom) inside the clip; 64-bit so that edges
  // computed from extreme coordinates cannot overflow.
  void fillArea(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                std::uint32_t rgb);
  void cosmeticLine(Point from, Point to, std::uint32_t rgb);
  // A wide pen along `count` points (open or closed), drawn as GDI builds its region:
  // each segment's body, round caps at open ends and round joins at corners.
  void wideStroke(const Point* points, int count, bool closed, int width, std::uint32_t rgb);
  void wideSegment(Point from, Point to, int width, std::uint32_t rgb);
  void roundDot(Point centre, int width, std::uint32_t rgb);
  void fillPolygon(const double (&xs)[4], const double (&ys)[4], std::uint32_t rgb);
  // Blackens what is left of paintOffscreen's frame, or takes a blitted part out of it.
  void settleFrame();
  void coverFrame(const Rect& written);

  int width_ = 0;
  int height_ = 0;
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
  // Per row of a round cap of width dotWidth_, how far it is inset from the w x w square.
  // Kept so that a repeated wide pen needs no allocation.
  std::vector<int> dotInsets_;
  int dotWidth_ = 0;
};
