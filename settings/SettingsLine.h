// The settings lines by what they hold.
#pragma once

// Lines 0-5 travel through the settings file; the lines from Settings::kFileLineCount up to
// Settings::kLineCount exist but never reach it.
enum class SettingsLine : int {
  kSkin = 0,
  kKeepOnTop = 1,
  kTransparency = 2,
  kWindowTop = 3,
  kWindowLeft = 4,
  kLevel = 5,
};
