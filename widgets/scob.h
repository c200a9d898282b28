// The screen object: a rectangle with a state that draws itself and hit-tests the mouse.
#pragma once

#include "platform/canvas.h"

class scobSkin;

class scob {
 public:
  scob() = default;
  virtual ~scob() = default;
  scob(const scob&) = delete;
  scob& operator=(const scob&) = delete;

  void setGeometry(int left, int top, int newWidth, int newHeight);
  void setSkin(const scobSkin* newSkin);
  void setImage(int newImageClass, int newImageExtra);
  void setDirty(bool value) { dirty = value; }
  bool isDirty() const { return dirty; }
  // Marks the object dirty only when the value changes.
  void setVisible(bool value);
  bool isVisible() const { return visible; }
  void setMouseActive(bool value) { mouseActive = value; }
  bool isMouseActive() const { return mouseActive; }
  void setState(int value) { state = value; }
  int getState() const { return state; }

  Rect rect() const { return {x, y, x + width, y + height}; }
  int getImageClass() const { return imageClass; }

  // Mouse event types and buttons of mouseButton.
  static constexpr int kPress = 1;
  static constexpr int kRelease = 2;
  static constexpr int kLeftButton = 0;

  // The bitmap of (imageClass, state) when imageClass >= 0, then drawContent.
  virtual void draw(Canvas& canvas);
  // Returns whether the event concerns the object; a left release returns whether it is a click.
  virtual bool mouseButton(int px, int py, int type, int flag);
  virtual bool mouseMove(int px, int py);
  virtual void onEnter() {}
  virtual void onLeave() {}
  virtual bool onLeftRelease() { return true; }
  virtual void onOtherRelease() {}
  virtual void onLeftPress() {}
  virtual void onOtherPress() {}
  virtual void drawContent(Canvas&) {}

 protected:
  // Both edges are inside: the sensitive area is one pixel wider and taller than the drawing.
  bool contains(int px, int py) const;

  const scobSkin* skin = nullptr;
  int numStates = 1;
  int imageClass = -1;
  int imageExtra = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool dirty = true;
  bool visible = false;
  bool mouseActive = false;
  int state = 0;
};
