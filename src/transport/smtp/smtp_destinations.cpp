#include "transport/smtp/smtp_destinations.h"

namespace velnora {

std::vector<std::string_view> SplitDestinations(std::string_view forwardTo) {
  std::vector<std::string_view> entries;
  std::size_t pos = 0;
  while (entries.size() < kMaxDestinations) {
    pos = forwardTo.find_first_not_of(' ', pos);
    if (pos == std::string_view::npos) break;
    std::size_t end = forwardTo.find(' ', pos);
    if (end == std::string_view::npos) end = forwardTo.size();
    entries.push_back(forwardTo.substr(pos, end - pos));
    pos = end;
  }
  return entries;
}

void AdvanceApportion(Apportion& apportion) {
  apportion.next += 1;
  if (apportion.next < 0 || apportion.next >= apportion.count) apportion.next = 0;
}

bool DestinationSelected(const Apportion& apportion, std::size_t index) {
  if (!apportion.on || apportion.count < 1) return true;
  return static_cast<int>(index % static_cast<std::size_t>(apportion.count)) == apportion.next;
}

}  // namespace velnora
