// The scene's bookkeeping, its paint pass and the off-screen paint.
#include "widgets/scobScene.h"

#include "widgets/scob.h"

bool scobScene::add(scob* object, int commandId, int extra) {
  if (entryCount >= kCapacity) return false;
  objects[entryCount] = object;
  commandIds[entryCount] = commandId;
  extras[entryCount] = extra;
  ++entryCount;
  return true;
}

int scobScene::commandAt(int i) const { return inUse(i) ? commandIds[i] : 0; }

int scobScene::extraAt(int i) const { return inUse(i) ? extras[i] : 0; }

void scobScene::paint(Canvas& canvas) {
  for (int i = 0; i < entryCount; ++i) {
    scob* object = objects[i];
    if (object == nullptr) continue;
    if (object->isVisible()) object->draw(canvas);
    // Cleared for hidden entries too, so a hidden change does not keep the tick repainting.
    object->setDirty(false);
  }
}

void paintOffscreen(Canvas& target, scobScene& scene, int clientWidth, int clientHeight) {
  target.paintOffscreen(clientWidth, clientHeight, scene);
}
