// The content lines of a forwarded message (Content-Type by the layout that
// content processing chose, Content-Transfer-Encoding) and the trailing
// X-Mailer, X-Mailer-Info and read-receipt lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velnora {

struct AccountSettings;
struct CommonSettings;
struct ConvertOptions;
struct MailMessage;

// Layout codes set by content processing.
namespace layout {
inline constexpr int32_t kPlainText = 1;
inline constexpr int32_t kHtml = 2;
inline constexpr int32_t kRelatedRebuilt = 93;
inline constexpr int32_t kPartial = 94;  // message/partial
inline constexpr int32_t kSignedRebuilt = 95;
inline constexpr int32_t kTextAndHtml = 96;
inline constexpr int32_t kAlternativeRebuilt = 97;
inline constexpr int32_t kKeptAsReceived = 98;
}  // namespace layout

// Transfer codes.
namespace transfer {
inline constexpr int32_t k7bit = 1;
inline constexpr int32_t k8bit = 2;
inline constexpr int32_t kQuotedPrintable = 3;
inline constexpr int32_t kBase64 = 4;
}  // namespace transfer

// Most bytes of a boundary parameter carried into a rebuilt Content-Type.
inline constexpr std::size_t kMaxBoundaryParameter = 255;

// The "boundary=" parameter of a Content-Type (its closing quote included).
std::string BoundaryParameter(std::string_view contentType);

std::string ContentTypeLines(const MailMessage& message, const AccountSettings& account);

// `found8bit` tells that the body as written holds a byte above 127.
std::string TransferEncodingLine(const MailMessage& message, const AccountSettings& account,
                                 bool found8bit);

std::string MailerLines(const MailMessage& message, const AccountSettings& account,
                        const CommonSettings& common, const ConvertOptions& options);

}  // namespace velnora
