// The Subject: line of a forwarded message: prefix and part number in
// front, the received subject (kept as it came, re-encoded, or cut to a
// length), and the sender suffix of a replaced sender.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct ConvertOptions;
struct MailMessage;

// The received subject line is read up to this many bytes where it is
// decoded and cut.
inline constexpr std::size_t kMaxSubjectLine = 1023;

// The whole line with CR LF, or "" when the account drops the subject.
// `partNumber` is the 0-based file number; `senderSuffix` is " (From: ...)"
// or empty.
std::string BuildSubjectLine(const MailMessage& message, const AccountSettings& account,
                             const CommonSettings& common, const ConvertOptions& options,
                             int partNumber, std::string_view senderSuffix);

// The subject value: the text after "Subject:" and one space.
std::string_view SubjectValue(std::string_view subjectLine);

}  // namespace velnora
