#include "ui/pane_layout.h"

#include <gtest/gtest.h>

namespace velnora::ui {
namespace {

TEST(PaneLayout, EachViewModeArrangesTheLists) {
  struct Case {
    int mode, enabled;
    bool horizontal, accounts, activity;
    int extent;
  } const cases[] = {
      {0, 2, true, true, true, 300},
      {1, 2, true, false, true, 0},
      {2, 2, true, true, false, 800},
      {3, 2, false, true, true, 105},   // at least three rows
      {3, 10, false, true, true, 238},  // (10 + 1) x 19 + 29
      {3, 400, false, true, true, 300}, // at most half the height
      {7, 0, false, true, true, 105},   // unknown modes stack
  };
  for (const Case& c : cases) {
    const PaneLayout layout = LayoutPanes(c.mode, 800, 600, 300, c.enabled);
    EXPECT_EQ(layout.horizontal, c.horizontal) << c.mode;
    EXPECT_EQ(layout.showAccounts, c.accounts) << c.mode;
    EXPECT_EQ(layout.showActivity, c.activity) << c.mode;
    EXPECT_EQ(layout.accountExtent, c.extent) << c.mode << " " << c.enabled;
  }
  EXPECT_EQ(NextViewMode(3), 0);
  EXPECT_EQ(NextViewMode(-5), 0);
}

TEST(PaneLayout, AccountPaneWidthFollowsTheFirstSixColumns) {
  EXPECT_EQ(AccountPaneWidth({20, 100, 40, 40, 40, 40}, 1920), 285);
  EXPECT_EQ(AccountPaneWidth({0, 0, 0, 0, 0, 0}, 1920), 360);
  EXPECT_EQ(AccountPaneWidth({500, 500, 0, 0, 0, 0}, 1280), 640);
}

}  // namespace
}  // namespace velnora::ui
