// Toolkit-free parts of the activity list view: sorting by a clicked column
// and the distance to scroll so that the newest row is visible.
#pragma once

#include <array>
#include <vector>

#include "report/reporter.h"

namespace velnora {

// Compares two rows for `column`: the leading number of the size column, the
// insertion order for the time column, the texts of the other four; the
// order is reversed when `descending` is set. Unknown columns compare equal.
int CompareActivityRows(const ActivityRow& a, const ActivityRow& b, int column, bool descending);

// Each column keeps its own direction; a click flips it and sorts.
class ActivitySortState {
 public:
  void SortByColumn(std::vector<ActivityRow>& rows, int column);

 private:
  std::array<bool, 6> descending_{};
};

// Pixels to scroll the list down so that the newest row shows, or 0. A row
// height outside 16..24 is taken as 17.
int AutoScrollPixels(int rowCount, int topIndex, int rowsPerPage, int rowHeight);

}  // namespace velnora
