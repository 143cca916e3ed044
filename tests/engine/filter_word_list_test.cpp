// Filter texts become the words that are searched for: quoted phrases stay
// whole, the count is bounded, and the plain lists ignore quotes.
#include "engine/filter/filter_word_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnora {
namespace {

using Words = std::vector<std::string>;

struct SplitCase {
  const char* text;
  std::size_t max;
  Words quoted;  // SplitList
  Words plain;   // SplitAtSpaces
};

class FilterWordListTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FilterWordListTest, SplitsAsTheSettingsPagesWriteLists) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(SplitList(c.text, c.max), c.quoted);
  EXPECT_EQ(SplitAtSpaces(c.text, c.max), c.plain);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, FilterWordListTest,
    ::testing::Values(
        SplitCase{"", 400, {}, {}},
        SplitCase{"a  b   c ", 400, {"a", "b", "c"}, {"a", "b", "c"}},
        SplitCase{"\"New York\" sale", 400, {"New York", "sale"}, {"\"New", "York\"", "sale"}},
        SplitCase{"x \"open phrase", 400, {"x", "open phrase"}, {"x", "\"open", "phrase"}},
        SplitCase{"a\"b c\"d e", 400, {"ab cd", "e"}, {"a\"b", "c\"d", "e"}},
        SplitCase{"one two three", 2, {"one", "two"}, {"one", "two"}},
        SplitCase{"\"\" z", 400, {"", "z"}, {"\"\"", "z"}}));

TEST(FilterWordListLimitTest, TakesAtMostTheGivenCountFromALongList) {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "w" + std::to_string(i) + " ";
  EXPECT_EQ(SplitList(text, kMaxFilterWords).size(), kMaxFilterWords);
  EXPECT_EQ(SplitAtSpaces(text, kMaxAlwaysForwardWords).size(), kMaxAlwaysForwardWords);
  EXPECT_EQ(SplitAtSpaces(text, kMaxAlwaysForwardWords).back(), "w19");
}

}  // namespace
}  // namespace velnora
