// The scene: the ordered screen objects of the window with their command ids.
#pragma once

#include <array>

#include "platform/canvas.h"

class scob;

class scobScene final : public Canvas::Painter {
 public:
  static constexpr int kCapacity = 100;

  scobScene() { clear(); }

  void clear() { entryCount = 0; }
  // Appends an entry. A full scene refuses it and returns false; nothing is written past it.
  bool add(scob* object, int commandId, int extra);
  int count() const { return entryCount; }
  // Entries outside 0..count-1 read as no object, command 0 and extra 0. A const scene gives
  // its objects read-only.
  scob* objectAt(int i) { return inUse(i) ? objects[i] : nullptr; }
  const scob* objectAt(int i) const { return inUse(i) ? objects[i] : nullptr; }
  int commandAt(int i) const;
  int extraAt(int i) const;

  // Draws every visible entry in order and clears every entry's dirty flag.
  void paint(Canvas& canvas) override;

 private:
  bool inUse(int i) const { return i >= 0 && i < entryCount; }

  int entryCount = 0;
  std::array<scob*, kCapacity> objects{};
  std::array<int, kCapacity> commandIds{};
  std::array<int, kCapacity> extras{};
};

// Paints the whole scene into a fresh off-screen surface of the client size and copies it to
// `target` in one step.
void paintOffscreen(Canvas& target, scobScene& scene, int clientWidth, int clientHeight);
