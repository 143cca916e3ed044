// Address texts: the envelope sender, bare addresses, domain completion and
// the destination lists.
#include "engine/compose/compose_addresses.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace velnora {
namespace {

TEST(ComposeAddressesTest, EnvelopeAddressOfAFromLine) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"From: Taro <taro@s.example>", "taro@s.example"},
      {"From: \"Smith <boss@fake.example>\" <real@s.example>", "real@s.example"},
      {"From: (Taro Yamada) taro@s.example", "taro@s.example"},
      {"From:(Taro) taro@s.example", "taro@s.example"},
      {"From: taro@s.example (Taro Yamada)", "taro@s.example"},
      {"From: taro@s.example", "taro@s.example"},
      {"From: <taro@s.example", "taro@s.example"},
      {"From:", ""},
  };
  for (const auto& [line, address] : cases) EXPECT_EQ(ExtractEnvelopeAddress(line), address) << line;
}

TEST(ComposeAddressesTest, StripAddressInfoLeavesBareAddressesAndSeparators) {
  struct Case {
    std::string_view line;
    std::size_t keep;
    std::string_view expected;
  };
  const Case cases[] = {
      {"From: \"Taro Yamada\" <taro@s.example>", kKeepFrom, "From: taro@s.example"},
      {" \"Taro\" <taro@s.example>", kKeepValue, " taro@s.example"},
      {"To: A <a@x.example>, b@x.example,  C <c@x.example>", kKeepToCc,
       "To: a@x.example, b@x.example, c@x.example"},
      {"To: \"Yamada, Taro\" <t@x.example>, u@x.example", kKeepToCc, "To: t@x.example, u@x.example"},
      {"Cc: a@x.example, ,", kKeepToCc, "Cc: a@x.example"},
      {"To: =?ISO-2022-JP?B?GyRCOzNFREJATzobKEI=?= <taro@s.example>", kKeepToCc, "To: taro@s.example"},
      {"To: team: a@x.example;", kKeepToCc, "To: team: a@x.example;"},
      {"Reply-To: <r@x.example>\r\n\t(desk)", kKeepReplyTo, "Reply-To: r@x.example"},
  };
  for (const Case& c : cases) EXPECT_EQ(StripAddressInfo(c.line, c.keep), c.expected) << c.line;
}

TEST(ComposeAddressesTest, LongReducedListIsFolded) {
  std::string line = "To:";
  for (int i = 0; i < 8; ++i) line += " Name" + std::to_string(i) + " <user" + std::to_string(i) + "@example.example>,";
  const std::string reduced = StripAddressInfo(line, kKeepToCc);
  EXPECT_EQ(reduced,
            "To: user0@example.example, user1@example.example, user2@example.example, "
            "user3@example.example,\r\n"
            " user4@example.example, user5@example.example, user6@example.example, "
            "user7@example.example");
}

TEST(ComposeAddressesTest, LocalNamesGetTheOwnDomain) {
  struct Case {
    std::string_view line;
    std::string_view expected;
  };
  const Case cases[] = {
      {"To: alice", "To: alice@home.example, "},
      {"To: alice, bob@other.example", "To: alice@home.example, bob@other.example, "},
      {"To: \"Smith, J\" <js>, (a, comment) bob", "To: js@home.example, (a, comment) bob@home.example, "},
      {"To: alice,", "To: alice@home.example, "},
      {"To: undisclosed-recipients:;", "To: undisclosed-recipients:;, "},
      {"To:", "To:"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddDomainToAddresses(c.line, "home.example", "To:"), c.expected) << c.line;
  }
}

TEST(ComposeAddressesTest, DestinationLists) {
  EXPECT_EQ(DestinationList("a@x.example   b@x.example"), "a@x.example, b@x.example");
  EXPECT_EQ(DestinationList(" a@x.example "), ", a@x.example, ");
  EXPECT_EQ(ResentToList("a@x.example   b@x.example  "), "a@x.example, b@x.example");
  EXPECT_EQ(ResentToList("a@x.example"), "a@x.example");
  EXPECT_EQ(FirstDestination("a@x.example b@x.example"), "a@x.example");
  EXPECT_EQ(OwnDomain("me@home.example"), "home.example");
  EXPECT_EQ(OwnDomain("me"), "");
  EXPECT_EQ(JoinFolds("To: a,\r\n\r\n b"), "To: a,  \r\n b");
}

TEST(ComposeAddressesTest, ReplacementListMatchesAnywhereInTheFromLine) {
  EXPECT_TRUE(MatchesFromReplaceList("From: Boss <BOSS@Corp.example>", "x@y.example boss@corp.example"));
  EXPECT_TRUE(MatchesFromReplaceList("From: a@list.example", "  @list.example"));
  EXPECT_FALSE(MatchesFromReplaceList("From: a@b.example", ""));
  EXPECT_FALSE(MatchesFromReplaceList("", "a@b.example"));
  std::string list;
  for (int i = 0; i < 100; ++i) list += "n" + std::to_string(i) + "@x.example ";
  EXPECT_FALSE(MatchesFromReplaceList("From: late@x.example", list + "late@x.example"))
      << "only the first 100 addresses count";
  EXPECT_TRUE(MatchesFromReplaceList("From: n99@x.example", list));
}

}  // namespace
}  // namespace velnora
