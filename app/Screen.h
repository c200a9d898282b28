// The screen: the skin table and every widget in its scene, built and laid out by the screen table.
#pragma once

#include <string>

#include "platform/host.h"
#include "puzzle/Deradu.h"
#include "puzzle/Solution.h"
#include "skin/skinInstance.h"
#include "widgets/scobButton.h"
#include "widgets/scobImage.h"
#include "widgets/scobScene.h"
#include "widgets/scobStateButton.h"

struct SavedState;

class Screen {
 public:
  Screen() = default;
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // At window creation: the saved skin and window switches, the narrow window, every widget
  // added to the scene in drawing order, and a Medium deal.
  void build(Host& host, const SavedState& saved);

  // The window switches, as the buttons show them and the settings file keeps them.
  bool keepOnTop() const { return keepOnTopFlag_; }
  bool transparent() const { return transparencyFlag_; }
  bool sidePanelShown() const { return sidePanelFlag_; }
  void toggleKeepOnTop() { keepOnTopFlag_ = !keepOnTopFlag_; }
  void toggleTransparency() { transparencyFlag_ = !transparencyFlag_; }
  // Widens the window to show the reference picture, or narrows it again.
  void toggleSidePanel(Host& host);

  void refreshLevelLabel();
  void refreshMovesLabel();
  // Whether the moves label already shows the board's move count.
  bool movesLabelIsCurrent() const;
  void setBannerVisible(bool visible) { banner_.setVisible(visible); }

  // The whole scene into `canvas` through the off-screen frame; every dirty flag is cleared.
  void paint(Canvas& canvas);
  bool anyWidgetDirty() const;
  // The client area as the host reported it at the last resize.
  Size clientSize() const { return client_; }

  // The parts the controller plays with.
  Deradu& board() { return board_; }
  skinInstance& skin() { return skin_; }
  scobScene& scene() { return scene_; }

  // Every part, read-only.
  const skinInstance& skin() const { return skin_; }
  const scobScene& scene() const { return scene_; }
  const scobImage& background() const { return background_; }
  const scobImage& sidePanel() const { return sidePanel_; }
  const Deradu& board() const { return board_; }
  const Solution& reference() const { return reference_; }
  const scobButton& easy() const { return easy_; }
  const scobButton& medium() const { return medium_; }
  const scobButton& hard() const { return hard_; }
  const scobButton& solve() const { return solve_; }
  const scobButton& picture() const { return picture_; }
  const scobStateButton& showHide() const { return showHide_; }
  const scobButton& titleBar() const { return titleBar_; }
  const scobButton& levelLabel() const { return levelLabel_; }
  const scobButton& movesLabel() const { return movesLabel_; }
  const scobButton& help() const { return help_; }
  const scobStateButton& transparency() const { return transparency_; }
  const scobStateButton& keepOnTopButton() const { return keepOnTop_; }
  const scobButton& banner() const { return banner_; }

 private:
  std::string movesText() const;
  void resize(Host& host, Size outer);

  skinInstance skin_;
  scobImage background_;
  scobImage sidePanel_;
  Deradu board_;
  Solution reference_;
  scobButton easy_;
  scobButton medium_;
  scobButton hard_;
  scobButton solve_;
  scobButton picture_;
  scobStateButton showHide_;
  scobButton titleBar_;
  scobButton levelLabel_;
  scobButton movesLabel_;
  scobButton help_;
  scobStateButton transparency_;
  scobStateButton keepOnTop_;
  scobButton banner_;
  scobScene scene_;

  bool keepOnTopFlag_ = false;
  bool transparencyFlag_ = false;
  bool sidePanelFlag_ = false;
  Size client_{};
};
