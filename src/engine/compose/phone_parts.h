// The part files of a feature-phone forward: the body shaped, divided into
// parts and converted to the form it is sent in, each part behind its own
// header lines; or, when the account asks for it, each part's text moved
// into its subject.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/charset_code.h"

namespace velnora {

struct AccountSettings;
struct ConvertOptions;
struct MailMessage;

// Header lines (envelope line first, empty line last) of part n.
using PartHeaderFn = std::function<std::string(int partNumber)>;

// The whole text of each part file; `statusReport` replaces the shaped body
// of a remote-control answer. Sets the message's layout, character
// set and transfer code to those of the bytes written, so `header` must read
// them from the message.
std::vector<std::string> FeaturePhoneFiles(MailMessage& message, const AccountSettings& account,
                                           const ConvertOptions& options,
                                           const std::optional<std::string>& statusReport,
                                           const PartHeaderFn& header);

// A part file whose body (of character set `code`) goes into its subject
// as an encoded-word, at most 255 bytes of text; the Subject line of
// `header` is kept as "X-Subje:".
std::string BodyInSubject(std::string_view header, std::string_view body, CharsetCode code,
                          const AccountSettings& account, const ConvertOptions& options);

}  // namespace velnora
