#include "engine/history/no_uidl_progress.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace velnora {
namespace {

// Starts with a blank, so it never equals a server's UIDL when the account
// goes back to UIDL mode: its messages are then simply new.
constexpr std::string_view kHandledPositionMarker = " handled";

}  // namespace

void ReadNoUidlProgress(AccountRuntime& runtime, int maxHeld) {
  const int count = std::max(std::min(runtime.storedCount(), maxHeld), 0);
  std::vector<uint8_t> handled(std::size_t(count), 0);
  for (int p = 0; p < count; ++p) handled[std::size_t(p)] = runtime.StoredUidl(p) == kHandledPositionMarker;
  int first = 0;
  while (first < count && handled[std::size_t(first)]) ++first;
  runtime.startIndex = first;
  if (first == count) handled.clear();
  runtime.handledBeyondStart = std::move(handled);
}

void WriteNoUidlProgress(AccountRuntime& runtime, int maxHeld) {
  const int end = std::min(std::max(runtime.startIndex, int(runtime.handledBeyondStart.size())), maxHeld);
  for (int p = 0; p < end; ++p) {
    const bool handled = p < runtime.startIndex || runtime.handledBeyondStart[std::size_t(p)];
    const std::string_view wanted = handled ? kHandledPositionMarker : std::string_view();
    if (runtime.StoredUidl(p) != wanted) runtime.SetStoredUidl(p, wanted);
  }
  for (int p = end; p < std::min(runtime.storedCount(), maxHeld); ++p) {
    if (!runtime.StoredUidl(p).empty()) runtime.ClearStoredUidl(p);
  }
  if (runtime.storedCount() != end) runtime.SetStoredCount(end);
}

}  // namespace velnora
