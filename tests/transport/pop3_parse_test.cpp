#include "transport/pop3/pop3_parse.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace velnora {
namespace {

TEST(Pop3Reply, OkIsACaseInsensitivePrefix) {
  EXPECT_TRUE(StartsWithOk("+OK ready\r\n"));
  EXPECT_TRUE(StartsWithOk("+ok"));
  EXPECT_TRUE(StartsWithOk("+oK\r\n"));
  EXPECT_FALSE(StartsWithOk("-ERR no\r\n"));
  EXPECT_FALSE(StartsWithOk("+O"));
  EXPECT_FALSE(StartsWithOk(" +OK"));
  EXPECT_EQ(StripLeadingLineEnds("\r\n+OK"), "+OK");
  EXPECT_EQ(StripLeadingLineEnds("\n\n\n+OK"), "\n+OK");  // two positions only
}

TEST(Pop3Reply, EndOfReplyDoesNotDependOnTheSplit) {
  const std::string reply = "+OK 2 320\r\n";
  for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
    ReplyEndTracker tracker;
    tracker.Feed(reply.substr(0, cut));
    EXPECT_EQ(tracker.complete(), cut == reply.size()) << cut;
    tracker.Feed(reply.substr(cut));
    EXPECT_TRUE(tracker.complete()) << cut;
  }
  ReplyEndTracker lone;
  lone.Feed("+OK\n");
  EXPECT_FALSE(lone.complete());
}

// Feeds `response` cut into pieces at the given positions; returns the bytes
// counted as the response and whether the end was seen.
std::pair<std::string, bool> FeedSplit(const std::string& response, std::vector<std::size_t> cuts,
                                       RetrTerminator& terminator) {
  std::string used;
  std::size_t at = 0;
  cuts.push_back(response.size());
  for (std::size_t cut : cuts) {
    const std::string piece = response.substr(at, cut - at);
    used += piece.substr(0, terminator.Feed(piece));
    at = cut;
    if (terminator.complete()) break;
  }
  return {used, terminator.complete()};
}

TEST(RetrTerminator, TerminatorSplitAtEveryPositionCompletes) {
  const std::string response = "+OK 40 octets\r\nSubject: x\r\n\r\n..dot\r\nbody\r\n.\r\n";
  for (std::size_t cut = 1; cut < response.size(); ++cut) {
    RetrTerminator terminator;
    const auto [used, done] = FeedSplit(response, {cut}, terminator);
    EXPECT_TRUE(done) << "cut at " << cut;
    EXPECT_EQ(used, response) << "cut at " << cut;
  }
}

TEST(RetrTerminator, OneByteAtATimeAndEveryTwoCutsComplete) {
  const std::string response = "+OK\r\nA\r\n.\r\n";
  {
    std::vector<std::size_t> cuts;
    for (std::size_t i = 1; i < response.size(); ++i) cuts.push_back(i);
    RetrTerminator terminator;
    EXPECT_TRUE(FeedSplit(response, cuts, terminator).second);
  }
  for (std::size_t a = 1; a < response.size(); ++a) {
    for (std::size_t b = a + 1; b < response.size(); ++b) {
      RetrTerminator terminator;
      EXPECT_TRUE(FeedSplit(response, {a, b}, terminator).second) << a << "," << b;
    }
  }
}

TEST(RetrTerminator, DocumentedStatesOfTheChunkBeforeTheEnd) {
  struct Case {
    std::vector<std::string> chunks;
    int state;
    const char* name;
  };
  const Case cases[] = {
      {{"+OK\r\nbody\r\n.\r\n"}, 0, "RNDRN(0)"},
      {{"+OK\r\nbody\r\n.\r", "\n"}, 1, "rndrN(1)"},
      {{"+OK\r\nbody\r\n.", "\r\n"}, 2, "rndRN(2)"},
      {{"+OK\r\nbody\r\n", ".\r\n"}, 3, "rnDRN(3)"},
  };
  for (const auto& c : cases) {
    RetrTerminator terminator;
    for (const auto& chunk : c.chunks) terminator.Feed(chunk);
    EXPECT_TRUE(terminator.complete());
    EXPECT_EQ(terminator.state(), c.state);
    EXPECT_STREQ(terminator.StateName(), c.name);
  }
}

TEST(RetrTerminator, DotLinesInsideTheMessageDoNotEndIt) {
  RetrTerminator terminator;
  terminator.Feed("+OK\r\n..\r\n.. \r\n.x\r\nA.\r\n\r\n");
  EXPECT_FALSE(terminator.complete());
  EXPECT_FALSE(terminator.refused());
  // Bytes after the terminator are not part of the response.
  EXPECT_EQ(terminator.Feed(".\r\n+OK next"), 3u);
  EXPECT_TRUE(terminator.complete());
}

// Only CR LF "." CR LF ends a response; what a mail carries after a bare LF
// is its text. Fed whole and one byte at a time.
TEST(RetrTerminator, OnlyCrLfDotCrLfEndsTheResponse) {
  constexpr std::size_t kOpen = std::string_view::npos;
  const std::pair<std::string, std::size_t> cases[] = {
      {"+OK\r\n.\r\n", 8},                        // empty: right after the status line
      {"+OK\r\nA\n.\r\nB\r\n.\r\n", 16},           // LF "." CR LF is text
      {"+OK\r\nA\n.\r\n", kOpen},
      {"+OK\r\nA\r\n.\n", kOpen},                    // "." LF is text
      {"+OK\r\nA\r.\r\n", kOpen},                    // a lone CR ends no line
      {"+OK\n.\r\n", kOpen},                        // nor does a bare LF after the status
      {"+OK\r\nA\r\r\n.\r\n", 12},
      {"+OK\r\nA\r\n.\r\n+OK fake\r\n.\r\n", 11},   // the end is the first one
  };
  for (const auto& [response, end] : cases) {
    EXPECT_EQ(Pop3MultiLineEnd(response), end) << response;
    RetrTerminator terminator;
    std::size_t used = 0;
    for (char c : response) {
      if (terminator.complete()) break;
      used += terminator.Feed(std::string_view(&c, 1));
    }
    EXPECT_EQ(terminator.complete() ? used : kOpen, end) << response;
  }
}

TEST(RetrTerminator, NegativeStatusLineIsARefusal) {
  for (const char* status : {"-ERR no such message\r\n", "* what\r\n", "\r\n"}) {
    RetrTerminator terminator;
    terminator.Feed(status);
    EXPECT_TRUE(terminator.refused()) << status;
  }
  RetrTerminator split;
  split.Feed("+");
  split.Feed("o");
  split.Feed("k 12\r\n");
  EXPECT_FALSE(split.refused());
}

TEST(UidlListing, LinesAcrossBlocksDotEndsAndUidlsAreCut) {
  std::vector<std::pair<long, std::string>> got;
  UidlListingParser parser([&](long n, std::string_view uidl) { got.emplace_back(n, uidl); });
  const std::string longUidl(90, 'u');
  const std::string listing = "+OK 4 messages\r\n1 aaa\r\n2 " + longUidl +
                              "\r\n3\r\nx y\r\n4 dup\n5 dup\r\n.\r\n9 after\r\n";
  for (char c : listing) parser.Feed(std::string_view(&c, 1));
  EXPECT_TRUE(parser.finished());
  const std::vector<std::pair<long, std::string>> expected = {
      {1, "aaa"}, {2, std::string(70, 'u')}, {4, "dup"}, {5, "dup"}};
  EXPECT_EQ(got, expected);
}

TEST(UidlListing, NumbersOutOfRangeOrMalformedAreSkipped) {
  std::vector<long> numbers;
  UidlListingParser parser([&](long n, std::string_view) { numbers.push_back(n); });
  parser.Feed("+OK\r\n0 zero\r\n-1 neg\r\n99999999999999999999 big\r\n12x bad\r\n 7 ok\r\n.\r\n");
  EXPECT_TRUE(parser.finished());
  EXPECT_EQ(numbers, std::vector<long>{7});
}

TEST(UidlListing, OverlongLineIsCutNotOverflowed) {
  std::vector<std::string> uidls;
  UidlListingParser parser([&](long, std::string_view u) { uidls.emplace_back(u); }, 16);
  parser.Feed("+OK\r\n1 abcdefghijklmnopqrstuvwxyz\r\n.\r\n");
  ASSERT_EQ(uidls.size(), 1u);
  EXPECT_EQ(uidls[0], "abcdefghijklmn");  // 16 bytes of line: "1 " and 14 more
}

TEST(Pop3Numbers, StatCountIsRangeChecked) {
  EXPECT_EQ(ParseStatCount("+OK 2 320\r\n"), 2);
  EXPECT_EQ(ParseStatCount("+OK 0 0\r\n"), 0);
  EXPECT_EQ(ParseStatCount("+OK  15\r\n"), 15);
  EXPECT_EQ(ParseStatCount("+OK\r\n"), std::nullopt);
  EXPECT_EQ(ParseStatCount("+OK -3 0\r\n"), std::nullopt);
  EXPECT_EQ(ParseStatCount("+OK 3x 0\r\n"), std::nullopt);
  EXPECT_EQ(ParseStatCount("+OK 99999999999999999999 0\r\n"), std::nullopt);
}

TEST(Apop, TimestampRules) {
  EXPECT_EQ(ApopTimestamp("+OK POP3 <1896.697170952@dbc.mtview.ca.us>\r\n"),
            "<1896.697170952@dbc.mtview.ca.us>");
  EXPECT_EQ(ApopTimestamp("+OK ready\r\n"), "");
  EXPECT_EQ(ApopTimestamp("+OK a> <b>\r\n"), "");
  EXPECT_EQ(ApopTimestamp("+OK <open\r\n"), "<open\r\n");
  EXPECT_EQ(ApopTimestamp("+OK <" + std::string(400, 'x') + ">").size(), 255u);
}

}  // namespace
}  // namespace velnora

namespace velnora {
namespace {

// Random server bytes: the response ends exactly at the first "\r\n.\r\n" and
// the parsers never read or keep more than they are given.
TEST(Pop3ParseProperties, RandomInputKeepsTheInvariants) {
  std::mt19937 random(2024);
  const char alphabet[] = {'\r', '\n', '.', 'a', ' ', '\0', '+', 'O', 'K', '1'};
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 200, ' ');
    for (char& c : bytes) c = alphabet[random() % sizeof alphabet];
    RetrTerminator terminator;
    std::string used;
    for (std::size_t at = 0; at < bytes.size() && !terminator.complete();) {
      const std::size_t piece = 1 + random() % 17;
      const std::string chunk = bytes.substr(at, piece);
      const std::size_t n = terminator.Feed(chunk);
      ASSERT_LE(n, chunk.size());
      used += chunk.substr(0, n);
      at += piece;
    }
    const std::size_t end = bytes.find("\r\n.\r\n");
    if (end == std::string::npos) {
      EXPECT_FALSE(terminator.complete());
    } else {
      EXPECT_TRUE(terminator.complete());
      EXPECT_EQ(used, bytes.substr(0, end + 5));
    }

    std::size_t uidls = 0;
    UidlListingParser parser([&](long n, std::string_view uidl) {
      EXPECT_GE(n, 1);
      EXPECT_FALSE(uidl.empty());
      EXPECT_LE(uidl.size(), UidlListingParser::kUidlLimit);
      ++uidls;
    });
    parser.Feed(bytes);
    EXPECT_LE(uidls, bytes.size());
  }
}

}  // namespace
}  // namespace velnora
