// Which messages of a server listing are new: a server UIDL is known when
// an unmatched stored entry equals it (exact bytes); each stored entry
// matches at most one server message, so two messages with the same UIDL
// are told apart by count, and the first unmatched stored position wins.
// A hash index makes it linear instead of stored x listed comparisons.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace velnora {

struct NewMessageDecision {
  int known = 0;                     // server messages matched to a stored entry
  std::vector<int> matchedStored;    // per decided position: stored position, or -1
};

// Decides positions [first, end) of the listing. `stored(p)` is stored entry p
// for p < storedCount; `current(j)` the server UIDL of position j. Sets
// isNew[j] (resized as needed) for every decided position. Empty UIDLs never match.
NewMessageDecision DecideNewMessages(const std::function<std::string_view(int)>& stored,
                                     int storedCount,
                                     const std::function<std::string_view(int)>& current,
                                     int first, int end, std::vector<uint8_t>& isNew);

}  // namespace velnora
