// The body of an ordinary forward: the optional sender information at the
// top, then the content as content processing left it (byte for byte: the
// received body or its conversion), the fragment notice of a dropped split
// body, or the remote status report.
#pragma once

#include <optional>
#include <string>

namespace velnora {

struct AccountSettings;
struct ConvertOptions;
struct MailMessage;

// Separates the sender information from the forwarded text.
inline constexpr char kSenderInfoRule[] = "-----\r\n";

// The body text with its closing CR LF. `statusReport` replaces the content
// of a remote-control answer.
std::string OrdinaryBody(const MailMessage& message, const AccountSettings& account,
                         const ConvertOptions& options,
                         const std::optional<std::string>& statusReport);

// True when the text holds a byte above 127.
bool HasHighBitByte(std::string_view text);

}  // namespace velnora
