// One description per field of the three settings records: where it is, what
// it holds, its default, the limits a stored value must keep and the rules the
// settings pages apply when they store it. The command line, the CSV exchange
// and the dialogs all read and write fields through this table.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace velnora {

enum class SettingsRecord : uint8_t { Common, Account, Extra };

enum class FieldType : uint8_t {
  Flag8,       // int8_t 0/1
  Flag16,      // int16_t 0/1
  Flag32,      // int32_t 0/1
  Int16,
  Uint16,
  Int32,
  Text,        // NUL-terminated code page 932 in `size` bytes
  Int16Array,  // `count` int16_t
  Int32Array,  // `count` int32_t
  Reserved,    // bytes kept as read, not interpreted
  Unused,      // bytes no field uses, kept as read
};

enum class SettingsPage : uint8_t {
  Server,
  PartProcessing,
  Filters,
  Antispam,
  FeaturePhone,
  Schedule,
  Advanced,
  Runtime,         // maintained by the program
  Common,          // the General page of the program-wide settings
  Geometry,        // window layout kept by the main window
  Identification,  // the file's identification text
  Unused,
};

// Store rules, a bit set.
enum FieldRule : uint16_t {
  kRuleNone = 0,
  kWordList = 1u << 0,       // normalised (NormalizeWordList) before it is stored
  kClearsSwitch = 1u << 1,   // an empty value clears the flag `related`
  kSetsRelated = 1u << 2,    // storing it as 1 also sets the flag `related`
  kExclusive = 1u << 3,      // storing it as 1 clears the flag `related`
  kCopiesTo = 1u << 4,       // its value is copied into `related` (a working copy)
  kInverted = 1u << 5,       // its check box shows the opposite of the stored value
  kReadOnly = 1u << 6,       // kept by the program; not edited by the user
  kAsciiOnly = 1u << 7,      // text limited to US-ASCII
  kIndexDefault = 1u << 8,   // default is the record's own index
  kComputedDefault = 1u << 9,  // default computed from other fields (window geometry)
  kPortNumber = 1u << 10,    // an int16 that holds a port 0..65535 (read as unsigned)
  kMultiLine = 1u << 11,     // a list edited over several lines: line breaks become spaces
};

struct FieldInfo {
  std::string_view name;
  SettingsRecord record;
  uint32_t offset;
  FieldType type;
  uint32_t size;    // bytes
  uint16_t count;   // elements of an array, 1 otherwise
  SettingsPage page;
  int64_t defaultValue;           // numbers and flags (each element of an array)
  std::string_view defaultText;   // texts; arrays: comma-separated elements
  int64_t minValue;               // numbers: smallest value a store accepts
  int64_t maxValue;               // numbers: largest; texts: edit limit in bytes
  uint16_t maxEntries;            // word lists: most entries accepted, 0 = no count limit
  uint16_t rules;
  std::string_view related;       // the field the rules above name

  bool Has(FieldRule rule) const { return (rules & rule) != 0; }
  bool IsNumber() const;  // flags, integers and integer arrays
  bool IsFlag() const;
  bool IsFiller() const { return type == FieldType::Reserved || type == FieldType::Unused; }
  // A text of one line: no control character may enter it (it may end up
  // in a command line or a header).
  bool IsSingleLineText() const { return type == FieldType::Text && !Has(kMultiLine); }
};

// All fields of all three records, ordered by record (common, account,
// extra) and offset; fillers included, so each record is covered byte for byte.
std::span<const FieldInfo> AllFields();

// The fields of one record in offset order.
std::span<const FieldInfo> FieldsOf(SettingsRecord record);

// Looks a field up by name within a record.
const FieldInfo* FindField(SettingsRecord record, std::string_view name);

std::string_view PageName(SettingsPage page);
std::string_view TypeName(FieldType type);

}  // namespace velnora
