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

// Checks `value` (texts in code page 932) and stores it. Word lists are
// normalised first. Returns an empty string on success, else why the value
// was refused (naming the field and its limits); the record is then unchanged.
std::string StoreFieldValue(std::span<uint8_t> record, const FieldInfo& field, std::string_view value);

}  // namespace velnora
