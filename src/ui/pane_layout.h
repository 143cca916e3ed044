// Where the two lists of the main window go for each view mode, in pixels,
// without any toolkit so that the arithmetic is tested alone.
#pragma once

namespace velnora::ui {

enum class ViewMode : int {
  Side = 0,          // account list left, activity list right
  ActivityOnly = 1,
  AccountsOnly = 2,
  Stacked = 3,       // account list on top (any other stored value too)
};

ViewMode ViewModeOf(int stored);
// The mode the "ビュー切替" command moves to.
int NextViewMode(int stored);

struct PaneLayout {
  bool horizontal = true;  // side by side, else one above the other
  int accountExtent = 0;   // width (side) or height (stacked) of the account list
  bool showAccounts = true;
  bool showActivity = true;
};

// `paneWidth` is accountPaneWidth; `enabledAccounts` sizes the stacked
// account list: (n + 1) x 19 + 29 pixels for at least three rows, at most
// half of `areaHeight`.
PaneLayout LayoutPanes(int stored, int areaWidth, int areaHeight, int paneWidth, int enabledAccounts);

// accountPaneWidth after a resize: the first six account columns + 5, 360
// when that is below 30, at most half the screen width.
int AccountPaneWidth(const int (&firstSixColumns)[6], int screenWidth);

}  // namespace velnora::ui
