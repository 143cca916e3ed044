// Field values as text: how the command line (and the CSV exchange) shows a
// field and how a typed value is checked against the field's type and
// limits before it is stored.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/field_table.h"

namespace velnora {

// Numbers in decimal, arrays comma-separated, texts as stored (code page 932).
std::string FormatFieldValue(std::span<const uint8_t> record, const FieldInfo& field);

// The accepted values in words, e.g. "1..1440" or "at most 63 bytes".
std::string DescribeLimits(const FieldInfo& field);

// The first control character that `field` may not hold in `text`, described
// ("CR (0x0d)"), or empty. Single-line texts take none; multi-line lists take
// CR and LF (stored as spaces) and no other. Code page 932 trail bytes are
// never below 0x40, so a byte scan is exact.
std::string ForbiddenControl(const FieldInfo& field, std::string_view text);

// The first single-line text field of a record (or of the first bytes of
// one, for the shorter records of older editions) that holds a control
// character; nullptr when none does.
const FieldInfo* FirstTextWithControl(std::span<const uint8_t> record, SettingsRecord kind);

// Checks `value` (texts in code page 932) and stores it. Word lists are
// normalised first. Returns an empty string on success, else why the value
// was refused (naming the field and its limits); the record is then unchanged.
std::string StoreFieldValue(std::span<uint8_t> record, const FieldInfo& field, std::string_view value);

}  // namespace velnora
