// The texts that go into activity rows and forwarding-log lines: category
// names, field sanitising and the key that identifies a message in the log.
#pragma once

#include <string>
#include <string_view>

#include "report/activity_category.h"

namespace velnora {

struct AccountSettings;

// The Japanese text of a category (result) code; empty for unknown codes.
const std::string& CategoryText(int code);
inline const std::string& CategoryText(Category code) { return CategoryText(CategoryNumber(code)); }

// TAB, LF and CR become a space and ";" becomes ",", so a field can neither
// end a forwarding-log line nor split a record; other controls and DEL
// become caret pairs ("^[" for ESC), as on the console.
void SanitizeLogField(std::string& text);
std::string SanitizedLogField(std::string_view text);

// Synthetic identifier for a message without a usable Message-ID: "VNRID-"
// and the whole Date, Subject and From lines, each appended only while the
// result stays shorter than `limit` - 1; sanitised.
std::string MakeSyntheticMessageId(std::string_view dateLine, std::string_view subjectLine,
                                   std::string_view fromLine, size_t limit = 250);

// Longest Message-ID line used for the key; the writer and the duplicate
// check share it so a recorded key is always found again.
inline constexpr size_t kMaxMessageIdLine = 4094;

// The key under which a message is recorded in the forwarding log: the text
// after "Message-ID:" (with its leading space) when the line is longer than
// 13 bytes, else the synthetic identifier; sanitised.
std::string MessageKey(std::string_view messageIdLine, std::string_view dateLine,
                       std::string_view subjectLine, std::string_view fromLine);

// The account label of a forwarding-log record: `accountName`, or
// "(popUser)" for an account without a name.
std::string AccountLabel(const AccountSettings& account);

}  // namespace velnora
