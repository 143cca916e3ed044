#include "transport/uidl/uidl_decision.h"

#include <unordered_map>

namespace velnora {
namespace {

// Stored positions with one UIDL, in ascending order, and how many of them
// are already matched: matches always take the lowest unmatched position.
struct Bucket {
  int firstPosition = -1;
  std::vector<int> morePositions;
  std::size_t used = 0;

  int Take() {
    const std::size_t total = 1 + morePositions.size();
    if (used >= total) return -1;
    const int position = used == 0 ? firstPosition : morePositions[used - 1];
    ++used;
    return position;
  }
};

}  // namespace

NewMessageDecision DecideNewMessages(const std::function<std::string_view(int)>& stored,
                                     int storedCount,
                                     const std::function<std::string_view(int)>& current,
                                     int first, int end, std::vector<uint8_t>& isNew) {
  NewMessageDecision decision;
  if (first < 0) first = 0;
  if (end < first) end = first;
  std::unordered_map<std::string_view, Bucket> index;
  index.reserve(std::size_t(storedCount > 0 ? storedCount : 0));
  for (int p = 0; p < storedCount; ++p) {
    const std::string_view uidl = stored(p);
    if (uidl.empty()) continue;
    Bucket& bucket = index[uidl];
    if (bucket.firstPosition < 0) bucket.firstPosition = p;
    else bucket.morePositions.push_back(p);
  }
  if (isNew.size() < std::size_t(end)) isNew.resize(std::size_t(end));
  decision.matchedStored.assign(std::size_t(end - first), -1);
  for (int j = first; j < end; ++j) {
    isNew[std::size_t(j)] = 1;
    const std::string_view uidl = current(j);
    if (uidl.empty()) continue;
    const auto found = index.find(uidl);
    if (found == index.end()) continue;
    const int p = found->second.Take();
    if (p < 0) continue;
    isNew[std::size_t(j)] = 0;
    decision.matchedStored[std::size_t(j - first)] = p;
    ++decision.known;
  }
  return decision;
}

}  // namespace velnora
