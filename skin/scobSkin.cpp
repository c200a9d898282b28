// The skin table's lookups and the skin cycle.
#include "skin/scobSkin.h"

#include <utility>

bool scobSkin::inLimits(int skin, int tableClass, int index) {
  return skin >= 0 && skin < kSkins && tableClass >= 0 && tableClass < kClasses && index >= 0 &&
         index < kIndices;
}

std::int32_t scobSkin::colour(int colourClass, int index) const {
  if (!inLimits(currentSkin_, colourClass, index)) return 0;
  return colours_[currentSkin_][colourClass][index];
}

std::int32_t scobSkin::image(int imageClass, int index, int) const {
  if (!inLimits(currentSkin_, imageClass, index)) return 0;
  return images_[currentSkin_][imageClass][index];
}

std::string scobSkin::string(int stringClass, int index) const {
  if (!inLimits(currentSkin_, stringClass, index)) return {};
  return strings_[currentSkin_][stringClass][index];
}

int scobSkin::getCurrentSkin(int) const { return currentSkin_; }

void scobSkin::setCurrentSkin(int skin, int) { currentSkin_ = skin; }

int scobSkin::skinCount() const { return skinCount_; }

void scobSkin::nextSkin(int) {
  // Compared as signed values, so a count of 0 or 1 keeps skin 0. Widened so that a skin set
  // to the largest integer wraps instead of overflowing.
  const std::int64_t next = std::int64_t{currentSkin_} + 1;
  currentSkin_ = next >= skinCount_ ? 0 : static_cast<int>(next);
}

void scobSkin::loadDefaults() {}

void scobSkin::setSkinName(int skin, std::string name) {
  if (skin >= 0 && skin < kSkins) names_[skin] = std::move(name);
}

void scobSkin::setSkinCount(int count) { skinCount_ = count; }

void scobSkin::setColour(int skin, int colourClass, int index, std::int32_t value) {
  if (inLimits(skin, colourClass, index)) colours_[skin][colourClass][index] = value;
}

void scobSkin::setImage(int skin, int imageClass, int index, std::int32_t id) {
  if (inLimits(skin, imageClass, index)) images_[skin][imageClass][index] = id;
}

void scobSkin::setString(int skin, int stringClass, int index, std::string text) {
  if (inLimits(skin, stringClass, index)) strings_[skin][stringClass][index] = std::move(text);
}
