// Arbitrary bytes never make the parser read or point outside the message:
// every indexed line lies inside the header part, holds no terminator and
// starts with its own name. Run under the sanitiser build as well.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/message/byte_strings.h"
#include "engine/message/header_parse.h"

namespace velnora {
namespace {

std::string RandomMessage(std::mt19937& rng) {
  static constexpr std::string_view kPieces[] = {
      "Subject:", "From:", "To:", "X-", "Received:", "Message-ID:", ":", "\"", " ", "\t",
      "\r\n",     "\r",    "\n",  "a", "\r\n\r\n",   ".",           ";", {"\0", 1}, "sUbJeCt:"};
  std::string text;
  const size_t pieces = rng() % 120;
  for (size_t i = 0; i < pieces; ++i) text += kPieces[rng() % std::size(kPieces)];
  return text;
}

void ExpectLineInHeader(const MailMessage& m, std::string_view line, std::string_view name) {
  if (line.empty()) return;
  const char* begin = m.text();
  ASSERT_GE(line.data(), begin);
  ASSERT_LE(line.data() + line.size(), begin + m.headerLength);
  EXPECT_EQ(line.find('\0'), std::string_view::npos);
  EXPECT_TRUE(StartsWithNoCase(line, name)) << line;
}

TEST(HeaderParseInvariantsTest, RandomTextsStayInBounds) {
  std::mt19937 rng(20261208);
  MailMessage m;
  for (int round = 0; round < 300; ++round) {
    const std::string text = RandomMessage(rng);
    ASSERT_TRUE(SetMessageText(m, text));
    ParseMailContent(m);

    ASSERT_LE(m.headerLength, text.size());
    if (m.body) {
      // The body follows the header part and ends with the text.
      ASSERT_GT(m.body, m.text() + m.headerLength);
      const size_t bodyStart = size_t(m.body - m.text());
      EXPECT_EQ(m.bodyCapacity, m.buffer.size() - bodyStart);
      EXPECT_LE(bodyStart + m.Body().size(), m.textLength);
    }
    ExpectLineInHeader(m, m.subject, "subject:");
    ExpectLineInHeader(m, m.from, "from:");
    ExpectLineInHeader(m, m.to, "to:");
    ExpectLineInHeader(m, m.messageId, "message-id:");
    EXPECT_LE(m.received.size(), kMaxReceivedLines);
    EXPECT_LE(m.xHeaders.size(), kMaxXHeaders);
    for (std::string_view line : m.received) ExpectLineInHeader(m, line, "received:");
    for (std::string_view line : m.xHeaders) ExpectLineInHeader(m, line, "x-");
  }
}

}  // namespace
}  // namespace velnora
