// Column titles of the two lists of the main window and the rule for the
// column widths kept in the common settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace velnora {

// Activity list: size (mail count), account, time, subject, sender, recipient.
const std::array<std::string, 6>& ActivityListTitles();
// Account list: column 0 holds only the icon and has no title.
const std::array<std::string, 10>& AccountListTitles();

// The width stored for a list column: a width of 0 or less (a column the
// user squeezed shut) is stored as 100 so the column can be found again.
int16_t StoredColumnWidth(int width);

}  // namespace velnora
