// The information lines that can open the body of a forwarded message: the
// original sender ("From:" for ordinary accounts, "Fm:" for feature phones)
// and, for feature phones, the subject ("St:" or the part number).
#pragma once

#include <cstddef>
#include <string>

#include "convert/charset_code.h"

namespace velnora {

struct AccountSettings;
struct ConvertOptions;
struct MailMessage;

// The sender line with CR LF, only for the first file (partNumber 0) of a
// message whose From line is longer than 4 bytes; "" otherwise. For an
// ordinary account the decoded sender is written in the body's character
// set `bodyCharset`; a sender that set cannot carry is reduced to ASCII.
std::string SenderInfoLine(const MailMessage& message, const AccountSettings& account,
                           int partNumber, CharsetCode bodyCharset, const ConvertOptions& options);

// The subject line at the top of a feature-phone body, with CR LF.
std::string SubjectInfoLine(const MailMessage& message, const AccountSettings& account,
                            int partNumber, const ConvertOptions& options);

// Bounds every cut of the subject information line.
inline constexpr std::size_t kInfoLineArea = 4096;

}  // namespace velnora
