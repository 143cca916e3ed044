// The POP3 reply rules without any I/O: each parser is fed the bytes as
// they arrive, in chunks of any size, and gives the same answer however the
// bytes were split (tests feed them one at a time). Server text is untrusted:
// every buffer here has a bound and numbers are range-checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velnora {

// Case-insensitive "+ok" at the start of a reply.
bool StartsWithOk(std::string_view reply);
// Drops CR and LF standing in the first two positions (a left-over line end).
std::string_view StripLeadingLineEnds(std::string_view reply);

// A one-line reply is complete once the bytes received so far end with CR LF,
// wherever the segments were split.
class ReplyEndTracker {
 public:
  void Feed(std::string_view bytes);
  bool complete() const { return lastTwo_ == 0x0D0A; }
  void Reset() { lastTwo_ = 0; }

 private:
  uint16_t lastTwo_ = 0;
};

// The end of a multi-line response (RETR): the line "." after a CR LF, that
// is CR LF "." CR LF, where the first CR LF may be the status line's. Only
// this ends it (RFC 1939): a bare LF before the dot is message text, so a
// mail that carries LF "." CR LF cannot end itself early. Also rejects a
// response whose status line is not "+OK".
class RetrTerminator {
 public:
  // Feeds one chunk; returns how many of its bytes belong to the response
  // (all of them until the terminator, then up to and including it). Bytes
  // beyond that are not part of any response: the caller treats them as a
  // protocol error.
  std::size_t Feed(std::string_view chunk);
  bool complete() const { return matched_ == 5; }
  // The status line arrived and is not "+OK": the server refused.
  bool refused() const { return refused_; }
  // Session-log name of the state left by the chunk before the last one fed.
  const char* StateName() const;
  // The state number 0..3 of the session log (how much of CR LF "." CR LF was seen).
  int state() const;

 private:
  int matched_ = 0;        // bytes of "\r\n.\r\n" matched so far
  int previousMatched_ = 0;
  bool statusSeen_ = false;
  bool refused_ = false;
  std::string status_;     // the start of the status line, at most a few bytes
};

// The length of the multi-line response at the start of `bytes`, up to and
// including its terminating CR LF "." CR LF, or npos while it has not ended.
std::size_t Pop3MultiLineEnd(std::string_view bytes);

// Parses a UIDL listing ("+OK", then "n uidl" lines, then ".").
class UidlListingParser {
 public:
  static constexpr std::size_t kLineLimit = 65536;  // longer lines are cut
  static constexpr std::size_t kUidlLimit = 70;     // UIDLs are cut to this

  // Called with the 1-based message number and the UIDL (already cut).
  using Sink = std::function<void(long number, std::string_view uidl)>;
  explicit UidlListingParser(Sink sink, std::size_t lineLimit = kLineLimit)
      : sink_(std::move(sink)), lineLimit_(lineLimit) {}

  // Feeds one block; true once the closing "." line was seen (the rest of
  // the block is ignored).
  bool Feed(std::string_view block);
  bool finished() const { return finished_; }

 private:
  void EndLine();
  Sink sink_;
  std::size_t lineLimit_;
  std::string line_;
  bool lineOpen_ = false;
  bool statusSkipped_ = false;
  bool finished_ = false;
  char previous_ = 0;
};

// A decimal number from server text: optional leading blanks, digits only,
// within [minimum, maximum]. nullopt for anything else.
std::optional<long> ParseDecimal(std::string_view word, long minimum, long maximum);
// The message count of a STAT reply (its second blank-separated word).
std::optional<long> ParseStatCount(std::string_view reply);
// The size of a "LIST n" reply ("+OK n size"), or nullopt.
std::optional<long> ParseListSize(std::string_view reply);
// The APOP time stamp: from the first "<" up to and including the first ">"
// (to the end when there is none; empty without "<" or with ">" before it),
// at most 255 bytes.
std::string ApopTimestamp(std::string_view greeting);

}  // namespace velnora
