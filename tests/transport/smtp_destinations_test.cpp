// Destination lists and the round-robin order of apportion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transport/smtp/smtp_destinations.h"

namespace velnora {
namespace {

using Views = std::vector<std::string_view>;

TEST(Destinations, SplitAtBlankRuns) {
  EXPECT_EQ(SplitDestinations("a@x b@y"), (Views{"a@x", "b@y"}));
  EXPECT_EQ(SplitDestinations("a@x   b@y "), (Views{"a@x", "b@y"}));
  EXPECT_EQ(SplitDestinations("  a@x"), (Views{"a@x"}));
  EXPECT_EQ(SplitDestinations(""), Views{});
  EXPECT_EQ(SplitDestinations("   "), Views{});
}

TEST(Destinations, AtMostOneHundred) {
  std::string list;
  for (int i = 0; i < 130; ++i) list += "u" + std::to_string(i) + "@x ";
  Views entries = SplitDestinations(list);
  ASSERT_EQ(entries.size(), kMaxDestinations);
  EXPECT_EQ(entries.back(), "u99@x");
}

TEST(Apportion, EveryDestinationWhenOff) {
  Apportion off{false, 3, 1};
  Apportion noCount{true, 0, 0};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_TRUE(DestinationSelected(off, i));
    EXPECT_TRUE(DestinationSelected(noCount, i));
  }
}

TEST(Apportion, RoundRobinStartsAfterTheRememberedOne) {
  Apportion a{true, 2, 0};
  std::vector<int> chosen;
  for (int message = 0; message < 5; ++message) {
    AdvanceApportion(a);
    int selected = -1, selections = 0;
    for (std::size_t i = 0; i < 2; ++i)
      if (DestinationSelected(a, i)) selected = static_cast<int>(i), ++selections;
    EXPECT_EQ(selections, 1);
    chosen.push_back(selected);
  }
  EXPECT_EQ(chosen, (std::vector<int>{1, 0, 1, 0, 1}));
}

TEST(Apportion, OutOfRangePositionStartsOver) {
  Apportion negative{true, 3, -7};
  AdvanceApportion(negative);
  EXPECT_EQ(negative.next, 0);
  Apportion shrunk{true, 2, 5};  // the list got shorter since the last message
  AdvanceApportion(shrunk);
  EXPECT_EQ(shrunk.next, 0);
}

}  // namespace
}  // namespace velnora
