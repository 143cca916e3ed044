#include "report/activity_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velnora {
namespace {

ActivityRow Row(int index, const char* size, const char* subject) {
  ActivityRow row;
  row.row = index;
  row.columns = {size, "0 : a", "26/12/08 10:00", subject, "f", "t"};
  return row;
}

std::vector<int> Order(const std::vector<ActivityRow>& rows) {
  std::vector<int> order;
  for (const auto& r : rows) order.push_back(r.row);
  return order;
}

TEST(ActivityViewTest, ClicksToggleTheDirectionOfEachColumn) {
  std::vector<ActivityRow> rows = {Row(0, "900(3)", "b"), Row(1, "10000(3)", "a"),
                                   Row(2, "Info", "c"), Row(3, "95(----)", "a")};
  ActivitySortState state;
  state.SortByColumn(rows, 0);  // first click: larger sizes first
  EXPECT_EQ(Order(rows), (std::vector<int>{1, 0, 3, 2}));
  state.SortByColumn(rows, 0);
  EXPECT_EQ(Order(rows), (std::vector<int>{2, 3, 0, 1}));
  state.SortByColumn(rows, 3);  // its own flag: descending text
  EXPECT_EQ(Order(rows), (std::vector<int>{2, 0, 3, 1}));
  state.SortByColumn(rows, 2);  // insertion order, newest first
  EXPECT_EQ(Order(rows), (std::vector<int>{3, 2, 1, 0}));
  state.SortByColumn(rows, 2);
  EXPECT_EQ(Order(rows), (std::vector<int>{0, 1, 2, 3}));
  state.SortByColumn(rows, 9);  // no such column: unchanged
  EXPECT_EQ(Order(rows), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ActivityViewTest, CompareOfUnknownColumnsIsEqual) {
  EXPECT_EQ(CompareActivityRows(Row(0, "1", "a"), Row(1, "2", "b"), 6, false), 0);
  EXPECT_LT(CompareActivityRows(Row(0, "1", "a"), Row(1, "2", "b"), 0, false), 0);
  EXPECT_GT(CompareActivityRows(Row(0, "1", "a"), Row(1, "2", "b"), 3, true), 0);
  // Huge numbers clamp instead of overflowing.
  EXPECT_EQ(CompareActivityRows(Row(0, "99999999999999999999999", "a"),
                                Row(1, "99999999999999999999998", "a"), 0, false),
            0);
}

TEST(ActivityViewTest, AutoScrollOnlyWhenTheNewestRowIsOffThePage) {
  EXPECT_EQ(AutoScrollPixels(10, 0, 20, 18), 0);
  EXPECT_EQ(AutoScrollPixels(20, 0, 20, 18), 360);
  EXPECT_EQ(AutoScrollPixels(30, 5, 20, 20), 500);
  EXPECT_EQ(AutoScrollPixels(30, 5, 20, 40), 25 * 17);  // odd heights taken as 17
  EXPECT_EQ(AutoScrollPixels(30, 5, 20, 15), 25 * 17);
}

}  // namespace
}  // namespace velnora
