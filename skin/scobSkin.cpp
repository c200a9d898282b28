// The skin table's lookups and the skin cycle.
#include "skin/scobSkin.h"

#include <algorithm>
#include <utility>

// The first text whose key is not below `key`, in a vector sorted by key.
template <typename Texts>
auto scobSkin::findText(Texts& texts, int key) {
  return std::lower_bound(texts.begin(), texts.end(), key,
                          [](const Text& entry, int wanted) { return entry.key < wanted; });
}

bool scobSkin::inLimits(int skin, int tableClass, int index) {
  return skin >= 0 && skin < kSkins && tableClass >= 0 && tableClass < kClasses && index >= 0 &&
         index < kIndices;
}

int scobSkin::textKey(int skin, int stringClass, int index) {
  return (skin * kClasses + stringClass) * kIndices + index;
}

std::int32_t scobSkin::colour(int colourClass, int index) const {
  if (!inLimits(currentSkin_, colourClass, index)) return 0;
  return tables_->colours[currentSkin_][colourClass][index];
}

std::int32_t scobSkin::image(int imageClass, int index, int) const {
  if (!inLimits(currentSkin_, imageClass, index)) return 0;
  return tables_->images[currentSkin_][imageClass][index];
}

std::string scobSkin::string(int stringClass, int index) const {
  if (!inLimits(currentSkin_, stringClass, index)) return {};
  const int key = textKey(currentSkin_, stringClass, index);
  const auto found = findText(strings_, key);
  return found != strings_.end() && found->key == key ? found->text : std::string();
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
  if (inLimits(skin, colourClass, index)) tables_->colours[skin][colourClass][index] = value;
}

void scobSkin::setImage(int skin, int imageClass, int index, std::int32_t id) {
  if (inLimits(skin, imageClass, index)) tables_->images[skin][imageClass][index] = id;
}

void scobSkin::setString(int skin, int stringClass, int index, std::string text) {
  if (!inLimits(skin, stringClass, index)) return;
  const int key = textKey(skin, stringClass, index);
  const auto found = findText(strings_, key);
  if (found != strings_.end() && found->key == key) {
    found->text = std::move(text);
  } else {
    strings_.insert(found, Text{key, std::move(text)});
  }
}
