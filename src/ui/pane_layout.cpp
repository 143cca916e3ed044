#include "ui/pane_layout.h"

#include <algorithm>

namespace velnora::ui {

ViewMode ViewModeOf(int stored) {
  switch (stored) {
    case 0: return ViewMode::Side;
    case 1: return ViewMode::ActivityOnly;
    case 2: return ViewMode::AccountsOnly;
    default: return ViewMode::Stacked;
  }
}

int NextViewMode(int stored) {
  const int next = (stored + 1) % 4;
  return next < 0 ? 0 : next;
}

PaneLayout LayoutPanes(int stored, int areaWidth, int areaHeight, int paneWidth, int enabledAccounts) {
  PaneLayout layout;
  switch (ViewModeOf(stored)) {
    case ViewMode::Side:
      layout.accountExtent = std::clamp(paneWidth, 0, std::max(areaWidth, 0));
      break;
    case ViewMode::ActivityOnly:
      layout.showAccounts = false;
      break;
    case ViewMode::AccountsOnly:
      layout.showActivity = false;
      layout.accountExtent = areaWidth;
      break;
    case ViewMode::Stacked: {
      layout.horizontal = false;
      const int rows = std::max(enabledAccounts, 3);
      layout.accountExtent = std::min((rows + 1) * 19 + 29, std::max(areaHeight, 0) / 2);
      break;
    }
  }
  return layout;
}

int AccountPaneWidth(const int (&firstSixColumns)[6], int screenWidth) {
  int width = 5;
  for (int column : firstSixColumns) width += column;
  if (width < 30) width = 360;
  return std::min(width, screenWidth / 2);
}

}  // namespace velnora::ui
