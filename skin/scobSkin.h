// The skin table: colours, bitmap ids and texts for up to ten skins, looked up by class and index.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/ZeroPages.h"

class scobSkin {
 public:
  static constexpr int kSkins = 10;
  static constexpr int kClasses = 50;
  static constexpr int kIndices = 50;

  scobSkin() = default;
  virtual ~scobSkin() = default;
  scobSkin(const scobSkin&) = delete;
  scobSkin& operator=(const scobSkin&) = delete;

  // Lookups read the current skin's plane. A skin, class or index outside the limits reads as
  // an entry that no skin sets: colour 0, image id 0, the empty text.
  std::int32_t colour(int colourClass, int index) const;
  std::int32_t image(int imageClass, int index, int ignored) const;
  std::string string(int stringClass, int index) const;

  int getCurrentSkin(int ignored) const;
  // No test against the skin count: a skin without entries reads as zeros and empty texts.
  void setCurrentSkin(int skin, int ignored);
  int skinCount() const;
  void nextSkin(int ignored);

  virtual void loadDefaults();

 protected:
  // Writers for load defaults; an entry outside the limits is refused.
  void setSkinName(int skin, std::string name);
  void setSkinCount(int count);
  void setColour(int skin, int colourClass, int index, std::int32_t value);
  void setImage(int skin, int imageClass, int index, std::int32_t id);
  void setString(int skin, int stringClass, int index, std::string text);

 private:
  using Plane = std::array<std::array<std::int32_t, kIndices>, kClasses>;
  struct Tables {
    std::array<Plane, kSkins> colours;
    std::array<Plane, kSkins> images;
  };
  // A text set for one (skin, class, index), found by its position in the flattened table.
  struct Text {
    int key = 0;
    std::string text;
  };

  static bool inLimits(int skin, int tableClass, int index);
  static int textKey(int skin, int stringClass, int index);
  template <typename Texts>
  static auto findText(Texts& texts, int key);

  int currentSkin_ = 0;
  std::array<std::string, kSkins> names_{};
  int skinCount_ = 0;
  // The number tables are fixed arrays for a direct lookup while painting; the skins set
  // entries on a few pages of their 200 kB.
  ZeroPages<Tables> tables_;
  // Only the texts that are set, sorted by key; an empty std::string per cell of the whole
  // table would cost 800 kB for a few dozen texts.
  std::vector<Text> strings_;
};
