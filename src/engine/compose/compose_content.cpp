#include "engine/compose/compose_content.h"

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "convert/charset_detect.h"
#include "convert/charset_labels.h"
#include "engine/message/byte_strings.h"
#include "engine/compose/compose_header_text.h"
#include "engine/compose/compose_input.h"
#include "engine/message/mail_message.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// Developer option: name the account in every forwarded message.
constexpr std::string_view kAccountNameOption = "kq480317";

std::string ReceivedContentLines(const MailMessage& message) {
  return HeaderLine(message.contentType) + HeaderLine(message.contentDisposition);
}

std::string TransferLine(int32_t code) {
  switch (code) {
    case transfer::kBase64: return "Content-Transfer-Encoding: base64\r\n";
    case transfer::kQuotedPrintable: return "Content-Transfer-Encoding: quoted-printable\r\n";
    case transfer::k8bit: return "Content-Transfer-Encoding: 8bit\r\n";
    default: return "Content-Transfer-Encoding: 7bit\r\n";
  }
}

}  // namespace

std::string BoundaryParameter(std::string_view contentType) {
  const std::size_t at = FindNoCase(contentType, "boundary=");
  if (at == kNotFound) return {};
  std::string_view rest = contentType.substr(at);
  const std::size_t valueAt = std::string_view("boundary=").size();
  std::size_t end;
  if (valueAt < rest.size() && rest[valueAt] == '"') {
    end = rest.find('"', valueAt + 1);
    end = end == std::string_view::npos ? rest.size() : end + 1;
  } else {
    end = rest.find_first_of("; \t\r\n", valueAt);
    if (end == std::string_view::npos) end = rest.size();
  }
  return std::string(rest.substr(0, std::min(end, kMaxBoundaryParameter)));
}

std::string ContentTypeLines(const MailMessage& message, const AccountSettings& account) {
  switch (message.partLayout) {
    case layout::kPartial:
      if (!account.dropSplitBodies) return ReceivedContentLines(message);
      return message.contentType.empty()
                 ? std::string()
                 : std::string("Content-Type: text/plain; charset=\"SHIFT_JIS\"\r\n");
    case layout::kKeptAsReceived:
      return ReceivedContentLines(message);
    case layout::kRelatedRebuilt:
    case layout::kSignedRebuilt:
    case layout::kTextAndHtml:
    case layout::kAlternativeRebuilt: {
      const std::string boundary = BoundaryParameter(message.contentType);
      if (boundary.empty()) return HeaderLine(message.contentType);
      const char* kind = message.partLayout == layout::kTextAndHtml ? "alternative" : "mixed";
      return std::string("Content-Type: multipart/") + kind + "; " + boundary + "\r\n";
    }
    default: {
      std::string line = message.partLayout == layout::kHtml ? "Content-Type: text/html; "
                                                             : "Content-Type: text/plain; ";
      const std::string_view label = CharsetLabelOf(message.contentCharset);
      if (!label.empty()) line += "charset=\"" + std::string(label) + "\"";
      return line + "\r\n";
    }
  }
}

std::string TransferEncodingLine(const MailMessage& message, const AccountSettings& account,
                                 bool found8bit) {
  switch (message.partLayout) {
    case layout::kKeptAsReceived:
      return found8bit ? TransferLine(transfer::k8bit) : HeaderLine(message.contentTransferEncoding);
    case layout::kPartial:
      return found8bit || account.dropSplitBodies ? TransferLine(transfer::k8bit)
                                                  : HeaderLine(message.contentTransferEncoding);
    default:
      return TransferLine(message.bodyEncoding);
  }
}

std::string MailerLines(const MailMessage& message, const AccountSettings& account,
                        const CommonSettings& common, const ConvertOptions& options) {
  std::string out;
  if (!account.sendXMailer) out += kMailerLine;
  else out += HeaderLine(message.xMailer);
  if (FieldText(common.developerOptions).find(kAccountNameOption) != std::string_view::npos) {
    const std::string_view name = FieldText(account.accountName);
    const std::string value = GuessJapaneseCharset(name) == charset::kShiftJis
                                  ? EncodeHeaderValue(name, charset::kShiftJis, options)
                                  : std::string(name);
    out += "X-Mailer-Info: AccountName=" + value + "\r\n";
  }
  if (!account.phoneMode && account.sendDispositionNotificationTo) out += HeaderLine(message.readReceiptTo);
  return out;
}

}  // namespace velnora
