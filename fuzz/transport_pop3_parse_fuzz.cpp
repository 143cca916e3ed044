// Drives the POP3 reply parsers with arbitrary server bytes: the one-line
// reply end, the RETR end, the UIDL listing and the STAT, number and APOP
// readers. Each streaming parser must give the same answer whether the
// bytes come whole or cut into chunks, and no result may leave its bounds.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "transport/pop3/pop3_parse.h"

namespace {

using namespace velnora;
using velnora::fuzz::SplitChunks;

// Where a RETR response ends when its bytes arrive as `chunks`, as the
// client reads it: chunk after chunk until the end line, or until the
// status line shows a refusal. The one place that knows the scanner's
// interface, so a change of it touches only this adapter.
struct RetrEnd {
  std::size_t consumed = 0;  // bytes that belong to the response
  bool complete = false;
  bool refused = false;
};

RetrEnd ScanRetrResponse(const std::vector<std::string_view>& chunks) {
  RetrTerminator terminator;
  RetrEnd end;
  for (std::string_view chunk : chunks) {
    const std::size_t used = terminator.Feed(chunk);
    FUZZ_CHECK(used <= chunk.size());
    end.consumed += used;
    if (terminator.refused()) {
      end.refused = true;
      break;
    }
    if (terminator.complete()) break;
    FUZZ_CHECK(used == chunk.size());
  }
  end.complete = terminator.complete();
  FUZZ_CHECK(terminator.state() >= 0 && terminator.state() <= 3);
  FUZZ_CHECK(terminator.StateName() != nullptr);
  return end;
}

void CheckRetrEnd(std::string_view data, uint8_t seed) {
  const RetrEnd whole = ScanRetrResponse({data});
  const RetrEnd split = ScanRetrResponse(SplitChunks(data, seed));
  FUZZ_CHECK(whole.refused == split.refused);
  if (whole.refused) return;  // the client stops at the chunk that shows it
  FUZZ_CHECK(whole.complete == split.complete);
  FUZZ_CHECK(whole.consumed == split.consumed);
  if (whole.complete) {
    // A response that ended is at least "+OK" and its end line.
    FUZZ_CHECK(data.substr(0, whole.consumed).ends_with("\n.\r\n"));
  } else {
    FUZZ_CHECK(whole.consumed == data.size());
  }
}

using Listing = std::vector<std::pair<long, std::string>>;

std::pair<Listing, bool> ParseListing(const std::vector<std::string_view>& blocks,
                                      std::size_t lineLimit) {
  Listing listing;
  UidlListingParser parser(
      [&](long number, std::string_view uidl) { listing.emplace_back(number, uidl); }, lineLimit);
  bool finished = false;
  for (std::string_view block : blocks) {
    finished = parser.Feed(block);
    if (finished) break;
  }
  FUZZ_CHECK(finished == parser.finished());
  return {listing, finished};
}

void CheckUidlListing(std::string_view data, uint8_t seed) {
  const std::size_t lineLimit = seed % 2 ? UidlListingParser::kLineLimit : 1 + seed % 97;
  const auto whole = ParseListing({data}, lineLimit);
  const auto split = ParseListing(SplitChunks(data, seed), lineLimit);
  FUZZ_CHECK(whole == split);
  for (const auto& [number, uidl] : whole.first) {
    FUZZ_CHECK(number >= 1 && number <= INT_MAX);
    FUZZ_CHECK(!uidl.empty() && uidl.size() <= UidlListingParser::kUidlLimit);
    FUZZ_CHECK(uidl.size() < lineLimit);
    FUZZ_CHECK(uidl.find_first_of(" \t\r\n") == std::string::npos);
  }
}

void CheckReplyEnd(std::string_view data, uint8_t seed) {
  ReplyEndTracker whole;
  whole.Feed(data);
  ReplyEndTracker split;
  for (std::string_view chunk : SplitChunks(data, seed)) split.Feed(chunk);
  FUZZ_CHECK(whole.complete() == split.complete());
  FUZZ_CHECK(whole.complete() == data.ends_with("\r\n"));
}

void CheckOneLineReaders(std::string_view data, uint8_t seed) {
  if (const auto count = ParseStatCount(data)) FUZZ_CHECK(*count >= 0 && *count <= INT_MAX);
  const long minimum = -long(seed % 3) * 1000;
  const long maximum = seed % 5 == 0 ? LONG_MAX : long(seed) * 100;
  if (const auto value = ParseDecimal(data, minimum, maximum)) {
    FUZZ_CHECK(*value >= minimum && *value <= maximum);
  }
  const std::string_view stripped = StripLeadingLineEnds(data);
  FUZZ_CHECK(data.ends_with(stripped) && data.size() - stripped.size() <= 2);
  FUZZ_CHECK(StartsWithOk(data) == (data.size() >= 3 && data[0] == '+' &&
                                    (data[1] | 0x20) == 'o' && (data[2] | 0x20) == 'k'));
  const std::string stamp = ApopTimestamp(data);
  FUZZ_CHECK(stamp.size() <= 255);
  FUZZ_CHECK(stamp.empty() || (stamp.front() == '<' && data.find(stamp) != std::string::npos));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  const uint8_t seed = bytes[0];
  const std::string_view data = velnora::fuzz::AsText(bytes + 1, size - 1);
  CheckRetrEnd(data, seed);
  CheckUidlListing(data, seed);
  CheckReplyEnd(data, seed);
  CheckOneLineReaders(data, seed);
  return 0;
}
