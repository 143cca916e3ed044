// A stand-in key for a message whose UIDL listing line carries no UIDL
// ("1 " or "2"): without one the message would be new at every check and
// forwarded again each time. The key is the MD5 of the received message
// (from its second line on: the RETR status line may vary), prefixed with a
// blank so that it can never equal a real UIDL, which has no blanks.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace velnora {

// The key of the received file at `path`; empty when it cannot be read.
std::string ContentKeyOfReceivedFile(const std::string& path);

inline bool IsContentKey(std::string_view uidl) { return !uidl.empty() && uidl.front() == ' '; }

// Matches content keys against the stored list the way UIDLs are matched:
// each stored entry stands for one message, so two identical messages are
// told apart by count.
class ContentKeyMatcher {
 public:
  // `stored(p)` for p < storedCount.
  ContentKeyMatcher(const std::function<std::string_view(int)>& stored, int storedCount);
  // True when an unmatched stored entry holds `key` (it is then used up).
  bool TakeKnown(const std::string& key);
  // Some stored key not matched yet (used up), or empty: kept for a message
  // without UIDL that this check did not fetch, so it stays known.
  std::string TakeAny();

 private:
  std::map<std::string, int, std::less<>> unmatched_;
};

}  // namespace velnora
