// The destinations of a forwarded message: the blank-separated forwardTo
// list, and the round-robin choice of one of them when apportion is on.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace velnora {

inline constexpr std::size_t kMaxDestinations = 100;

// The first kMaxDestinations addresses of `forwardTo`; runs of blanks count
// as one separator.
std::vector<std::string_view> SplitDestinations(std::string_view forwardTo);

struct Apportion {
  bool on = false;
  int count = 0;  // destinations of the account (apportionCount)
  int next = 0;   // the destination whose turn it is (apportionNext)
};

// Moves to the next destination once per message; out of range starts over.
void AdvanceApportion(Apportion& apportion);

// Whether destination `index` receives the message.
bool DestinationSelected(const Apportion& apportion, std::size_t index);

}  // namespace velnora
