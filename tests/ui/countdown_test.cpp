#include "ui/countdown_dialog.h"

#include <gtest/gtest.h>

namespace velnora::ui {
namespace {

int TicksUntilClosed(CountdownDialog& dialog) {
  int ticks = 0;
  while (dialog.result() != QDialog::Accepted && ticks < 100) {
    dialog.Tick();
    ++ticks;
  }
  return ticks;
}

TEST(CountdownDialog, EndsOnTheTickAfterReachingZeroWithTheDelayHeldToOneToSixty) {
  const struct {
    int seconds, ticks;
  } cases[] = {{5, 6}, {0, 2}, {-3, 2}, {60, 61}, {600, 61}};
  for (const auto& c : cases) {
    CountdownDialog dialog(c.seconds);
    dialog.show();
    EXPECT_EQ(TicksUntilClosed(dialog), c.ticks) << c.seconds;
    EXPECT_FALSE(dialog.isVisible());
  }
}

}  // namespace
}  // namespace velnora::ui
