#include "convert/header_clean.h"

#include <gtest/gtest.h>

#include "convert_test_util.h"

namespace velnora {
namespace {

using test::InPlace;

TEST(HeaderClean, EachHelper) {
  EXPECT_EQ(InPlace("a\r\nb\rc\n", RemoveLineBreaks), "abc");
  EXPECT_EQ(InPlace("a\tb\t", TabsToSpaces), "a b ");
  EXPECT_EQ(InPlace("  a   b c  ", CollapseSpaces), " a b c ");
  EXPECT_EQ(InPlace("=?x?q?a?= =?x?q?b?= =?x", JoinAdjacentWords), "=?x?q?a?==?x?q?b?==?x");
  EXPECT_EQ(InPlace("?=  =?", JoinAdjacentWords), "?=  =?");
  EXPECT_EQ(InPlace("a\tb\t", RemoveTabs), "ab");
}

TEST(HeaderClean, ReturnsLengthAndRespectsUnterminatedBuffer) {
  std::vector<char> buffer = {'a', ' ', ' ', 'b'};
  EXPECT_EQ(CollapseSpaces(std::span<char>(buffer)), 3u);
  EXPECT_EQ(std::string(buffer.data(), 3), "a b");
  EXPECT_EQ(buffer[3], '\0');
}

}  // namespace
}  // namespace velnora
