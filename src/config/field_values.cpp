#include "config/field_values.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "config/field_access.h"
#include "config/word_list.h"

namespace velnora {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool ParseInteger(std::string_view text, int64_t& value) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string Refusal(const FieldInfo& field, std::string_view why) {
  std::string message(field.name);
  message += ": ";
  message += why;
  message += " (accepted: ";
  message += DescribeLimits(field);
  message += ")";
  return message;
}

std::string StoreText(std::span<uint8_t> record, const FieldInfo& field, std::string_view value) {
  if (const std::string control = ForbiddenControl(field, value); !control.empty()) {
    return Refusal(field, "holds " + control + "; control characters are not allowed");
  }
  std::string text(value);
  if (field.Has(kWordList)) text = NormalizeWordList(text, 2 * text.size() + 1);  // room for closing quotes
  if (field.Has(kAsciiOnly)) {
    for (unsigned char c : text) {
      if (c < 0x20 || c > 0x7E) return Refusal(field, "only US-ASCII characters are allowed");
    }
  }
  if (text.size() > static_cast<std::size_t>(field.maxValue)) {
    return Refusal(field, std::to_string(text.size()) + " bytes are too long");
  }
  if (field.maxEntries > 0 && CountWords(text) > field.maxEntries) {
    return Refusal(field, std::to_string(CountWords(text)) + " entries are too many");
  }
  WriteText(record, field, text);
  return {};
}

}  // namespace

std::string ForbiddenControl(const FieldInfo& field, std::string_view text) {
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7F) continue;
    if (!field.IsSingleLineText() && (c == '\r' || c == '\n')) continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", c);
    const char* name = c == '\r' ? "CR " : c == '\n' ? "LF " : c == 0 ? "NUL " : c == '\t' ? "TAB " : "";
    return std::string(name) + (*name ? "(" + std::string(hex) + ")" : "the control character " + std::string(hex));
  }
  return {};
}

const FieldInfo* FirstTextWithControl(std::span<const uint8_t> record, SettingsRecord kind) {
  for (const FieldInfo& field : FieldsOf(kind)) {
    if (!field.IsSingleLineText() || field.Has(kReadOnly) || field.offset + field.size > record.size()) continue;
    if (!ForbiddenControl(field, ReadText(record, field)).empty()) return &field;
  }
  return nullptr;
}

std::string FormatFieldValue(std::span<const uint8_t> record, const FieldInfo& field) {
  if (field.type == FieldType::Text) return std::string(ReadText(record, field));
  std::string out;
  for (int i = 0; i < field.count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(ReadNumber(record, field, i));
  }
  return out;
}

std::string DescribeLimits(const FieldInfo& field) {
  if (field.type == FieldType::Text) {
    std::string d = "text of at most " + std::to_string(field.maxValue) + " bytes";
    if (field.maxEntries > 0) d += ", " + std::to_string(field.maxEntries) + " entries";
    if (field.Has(kAsciiOnly)) d += ", US-ASCII";
    d += field.IsSingleLineText() ? ", one line without control characters" : ", no control characters but line breaks";
    return d;
  }
  std::string range = std::to_string(field.minValue) + ".." + std::to_string(field.maxValue);
  if (field.count > 1) return std::to_string(field.count) + " comma-separated values, each " + range;
  return range;
}

std::string StoreFieldValue(std::span<uint8_t> record, const FieldInfo& field, std::string_view value) {
  if (field.IsFiller() || field.Has(kReadOnly)) {
    return std::string(field.name) + ": kept by the program, cannot be set";
  }
  if (field.type == FieldType::Text) return StoreText(record, field, value);

  std::vector<int64_t> values;
  std::string_view rest = value;
  while (true) {
    const auto comma = rest.find(',');
    int64_t v = 0;
    if (!ParseInteger(rest.substr(0, comma), v)) return Refusal(field, "not a whole number");
    if (v < field.minValue || v > field.maxValue) {
      return Refusal(field, std::to_string(v) + " is out of range");
    }
    values.push_back(v);
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  if (values.size() != field.count) {
    return Refusal(field, std::to_string(values.size()) + " values given");
  }
  for (int i = 0; i < field.count; ++i) WriteNumber(record, field, values[i], i);
  return {};
}

}  // namespace velnora
