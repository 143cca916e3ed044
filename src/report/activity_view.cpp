#include "report/activity_view.h"

#include <algorithm>
#include <climits>
#include <string_view>

namespace velnora {
namespace {

// Cell texts are compared over at most this many bytes.
constexpr size_t kCompareLength = 4095;

// The decimal number at the start of a size text such as "1234(5)",
// clamped instead of overflowing.
long long LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), INT_MAX);
  }
  return negative ? -value : value;
}

int Sign(long long v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

}  // namespace

int CompareActivityRows(const ActivityRow& a, const ActivityRow& b, int column, bool descending) {
  int result = 0;
  switch (column) {
    case 0:
      result = Sign(LeadingNumber(a.columns[0]) - LeadingNumber(b.columns[0]));
      break;
    case 2:
      result = Sign(static_cast<long long>(a.row) - b.row);
      break;
    case 1:
    case 3:
    case 4:
    case 5: {
      const auto index = static_cast<size_t>(column);
      std::string_view left = std::string_view(a.columns[index]).substr(0, kCompareLength);
      std::string_view right = std::string_view(b.columns[index]).substr(0, kCompareLength);
      result = Sign(left.compare(right));
      break;
    }
    default:
      return 0;
  }
  return descending ? -result : result;
}

void ActivitySortState::SortByColumn(std::vector<ActivityRow>& rows, int column) {
  if (column < 0 || column >= static_cast<int>(descending_.size())) return;
  bool& descending = descending_[static_cast<size_t>(column)];
  descending = !descending;
  std::stable_sort(rows.begin(), rows.end(), [&](const ActivityRow& a, const ActivityRow& b) {
    return CompareActivityRows(a, b, column, descending) < 0;
  });
}

int AutoScrollPixels(int rowCount, int topIndex, int rowsPerPage, int rowHeight) {
  if (rowHeight < 16 || rowHeight > 24) rowHeight = 17;
  const int below = rowCount - topIndex;
  return below >= rowsPerPage ? below * rowHeight : 0;
}

}  // namespace velnora
