// The screen's numbers in one place: window sizes, widget rectangles, fonts, command ids.
// The skin classes the widgets read are named in skin/skinClasses.h.
#pragma once

#include <string_view>

namespace screen {

inline constexpr std::string_view kTitle = "Qor Deradu 1.0";
inline constexpr std::string_view kVersion = "1.0u";
// The maker's server; the path and query are what the page expects.
inline constexpr std::string_view kHelpPageBase = "https://www.qor.example/deradu/index.php?v=";

inline constexpr int kTimerId = 111;
// The period asked of SetTimer. Windows runs any period below 10 ms at 10 ms, and the X11 host
// keeps the same floor (host::kMinimumTimerPeriod), so the tick comes every 10 ms: a value from
// 1 to 10 changes nothing, and only one above 10 slows the tick.
inline constexpr int kTimerMilliseconds = 1;
inline constexpr int kTransparentAlpha = 190;
inline constexpr int kOpaqueAlpha = 255;
// A saved position outside the usable screen is replaced by this coordinate.
inline constexpr int kFallbackCoordinate = 2;

// Outer window sizes.
inline constexpr int kNarrowWidth = 477;
inline constexpr int kWideWidth = 870;
inline constexpr int kNarrowHeight = 426;
inline constexpr int kWideHeight = 426;

struct Box {
  int x, y, width, height;
};

inline constexpr Box kSidePanel{477, 0, 393, 0};
inline constexpr Box kBoard{30, 45, 312, 312};
inline constexpr Box kReference{510, 45, 312, 312};
inline constexpr int kGridCells = 4;
inline constexpr Box kEasy{373, 45, 81, 31};
inline constexpr Box kMedium{373, 75, 81, 31};
inline constexpr Box kHard{373, 105, 81, 31};
inline constexpr Box kSolve{373, 145, 81, 31};
inline constexpr Box kPicture{373, 175, 81, 31};
inline constexpr Box kShowHide{373, 205, 81, 31};
inline constexpr Box kTitleBar{0, 0, 475, 20};
inline constexpr Box kLevelLabel{1, 0, 100, 20};
inline constexpr Box kMovesLabel{101, 0, 70, 19};
inline constexpr Box kHelp{411, 1, 20, 20};
inline constexpr Box kTransparency{431, 1, 20, 20};
inline constexpr Box kKeepOnTop{451, 1, 20, 20};
inline constexpr Box kBanner{353, 325, 241, 30};

// Fonts: cell height and average width in pixels.
inline constexpr int kButtonFontHeight = 15;
inline constexpr int kButtonFontWidth = 6;
inline constexpr int kLabelFontWidth = 7;
inline constexpr int kBannerFontHeight = 20;
inline constexpr int kBannerFontWidth = 10;

// Command ids.
inline constexpr int kBackgroundId = 999;
inline constexpr int kSidePanelId = 9004;
inline constexpr int kBoardId = 2000;
inline constexpr int kReferenceId = 9001;
inline constexpr int kEasyId = 5001;
inline constexpr int kMediumId = 5002;
inline constexpr int kHardId = 5003;
inline constexpr int kSolveId = 5004;
inline constexpr int kPictureId = 1003;
inline constexpr int kShowHideId = 1008;
// The title bar carries the transparency id too, but is never mouse-active.
inline constexpr int kTitleBarId = 1011;
inline constexpr int kLevelLabelId = 1007;
inline constexpr int kMovesLabelId = 1006;
inline constexpr int kHelpId = 1015;
inline constexpr int kTransparencyId = 1011;
inline constexpr int kKeepOnTopId = 1010;
inline constexpr int kBannerId = 6001;

inline constexpr int kSceneEntries = 17;

// Letter keys, as virtual-key codes.
inline constexpr int kKeySkin = 'C';
inline constexpr int kKeySkinAndRepaint = 'K';
inline constexpr int kKeyNewGame = 'N';
inline constexpr int kKeySolve = 'S';

}  // namespace screen
