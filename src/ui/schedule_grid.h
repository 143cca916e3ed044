// The schedule's hours as 168 check boxes, rows Monday to Sunday, columns
// AM 0 to 11 and PM 0 to 11; a checked box stops forwarding in that hour.
#pragma once

#include <memory>
#include <span>

#include "ui/settings_sheet_field.h"

namespace velnora::ui {

inline constexpr int kScheduleDays = 7;
inline constexpr int kScheduleHours = 24;

// The bit of a day's mask that stands for `hour`: hour 0 is the highest of
// the 24 bits, hour 23 the lowest.
constexpr uint32_t ScheduleHourBit(int hour) { return uint32_t{1} << (kScheduleHours - 1 - hour); }

std::unique_ptr<SheetField> MakeScheduleField(const FieldInfo& field, std::span<const uint8_t> record, SheetPlace& place);

}  // namespace velnora::ui
