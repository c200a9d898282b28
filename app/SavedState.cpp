// What the settings file carries between runs: lines 0-5 read and written in one place each.
#include "app/SavedState.h"

#include "settings/DecimalText.h"
#include "settings/Settings.h"

SavedState readSavedState(const Settings& settings) {
  auto value = [&settings](SettingsLine which) { return parseDecimal(settings.line(which)); };
  return {value(SettingsLine::kSkin),
          value(SettingsLine::kKeepOnTop) != 0,
          value(SettingsLine::kTransparency) != 0,
          {value(SettingsLine::kWindowLeft), value(SettingsLine::kWindowTop)},
          value(SettingsLine::kLevel)};
}

void storeSavedState(const SavedState& state, Settings& settings, bool withPosition) {
  auto store = [&settings](SettingsLine which, std::int32_t value) {
    settings.setUnsigned(which, static_cast<std::uint32_t>(value));
  };
  store(SettingsLine::kSkin, state.skin);
  store(SettingsLine::kKeepOnTop, state.keepOnTop ? 1 : 0);
  store(SettingsLine::kTransparency, state.transparency ? 1 : 0);
  if (withPosition) {
    store(SettingsLine::kWindowTop, state.position.y);
    store(SettingsLine::kWindowLeft, state.position.x);
  }
  store(SettingsLine::kLevel, state.level);
}
