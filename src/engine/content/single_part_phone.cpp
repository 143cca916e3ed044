// A single-part message for a feature phone: plain text in the local code
// page, wrapped for a narrow screen; files and images become notices.
#include <optional>
#include <span>
#include <string>

#include "config/account_settings.h"
#include "convert/charset_detect.h"
#include "convert/device_chars.h"
#include "convert/line_wrap.h"
#include "engine/content/content_text.h"
#include "engine/content/single_part_steps.h"
#include "engine/filter/filter_content.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

bool Has(std::string_view line, std::string_view word) { return FindNoCase(line, word) != kNotFound; }

bool IsUndetermined(CharsetCode code) {
  return code == 0 || code == charset::kUndetermined || code == charset::kNone;
}

bool Stop(MailMessage& message, Category code) {
  message.resultCode = code;
  return false;
}

bool ForwardToPhone(MailMessage& message) {
  message.resultCode = Category::ForwardedToPhone;
  return true;
}

// A body too short for its notice stays, labelled by its own bytes.
void KeepShortBody(MailMessage& message) {
  SetTextBody(message, std::string(message.Body()), message.contentCharset);
}

// Only text/* is read as text: any other body (a PDF, an image without a
// disposition) would go out as bytes that no phone shows.
bool IsTextual(const MailMessage& message) {
  return message.partLayout == kLayoutText || message.partLayout == kLayoutHtml ||
         Has(message.contentType, "text/");
}

void ReplaceDeviceChars(std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]), charset::kShiftJis)) continue;
    ReplaceDeviceChar(std::span<char, 2>(text.data() + i, 2));
    ++i;
  }
}

// The HTML as local text; nothing when its charset is one the account may
// not send.
std::optional<std::string> HtmlAsText(std::string html, CharsetCode& code,
                                      const AccountSettings& account,
                                      const CommonSettings& common) {
  const CharsetCode declared = CharsetFromContentType(html);
  if (IsOtherCjkCharset(declared) && !account.phoneAllow8bit) return std::nullopt;
  if (IsUndetermined(code)) code = declared;
  code = ToLocalCodePage(html, code);
  HtmlTextOptions options = HtmlOptionsFor(account, common, code);
  options.htmlUseUtf8 = false;  // the shaping that follows works on local text
  options.htmlBase64 = false;
  HtmlText result = HtmlToText(html, code, options);
  code = result.charset;
  if (IsUndetermined(code) && !account.phoneAllow8bit) code = charset::kShiftJis;
  return std::move(result.text);
}

bool PhoneText(MailMessage& message, const AccountSettings& account, const CommonSettings& common) {
  CharsetCode code = message.contentCharset;
  std::string text = DecodedLocalText(message, code);
  // Text with NUL bytes (UTF-16, a mislabelled file) cannot go out as text.
  if (text.find('\0') != std::string::npos) {
    if (!ReplaceRemovedFile(message, account)) KeepShortBody(message);
    return ForwardToPhone(message);
  }
  if (HasHtmlBody(message)) {
    std::optional<std::string> converted = HtmlAsText(std::move(text), code, account, common);
    if (!converted) return Stop(message, Category::CharsetFiltered);
    text = std::move(*converted);
    code = ToLocalCodePage(text, code);
  }
  if (IsUndetermined(code) && !account.phoneAllow8bit) code = charset::kShiftJis;
  std::string wrapped;
  code = WrapLongLines(text, wrapped, code, LineBreakOptionsFor(account));
  if (account.phoneReplaceDeviceChars && code == charset::kShiftJis) ReplaceDeviceChars(wrapped);
  SetTextBody(message, std::move(wrapped), code);
  return ForwardToPhone(message);
}

}  // namespace

bool ProcessPhoneSinglePart(MailMessage& message, const AccountSettings& account,
                            const CommonSettings& common) {
  if (!message.contentType.empty() && IsOtherCjkCharset(message.contentCharset) &&
      !account.phoneAllow8bit) {
    return Stop(message, Category::CharsetFiltered);
  }
  if (account.partProcessing && account.oversizeDrop && IsOversize(message, account)) {
    return Stop(message, Category::SizeFiltered);
  }
  if (message.partLayout == kLayoutPartial) return Stop(message, Category::NotForwarded);
  const bool attachment = Has(message.contentDisposition, "attachment");
  if (!attachment && Has(message.contentType, "image/")) {
    if (!ReplaceRemovedImage(message, account)) KeepShortBody(message);
    return ForwardToPhone(message);
  }
  if (!IsTextual(message)) {
    if (!ReplaceRemovedFile(message, account)) KeepShortBody(message);
    return ForwardToPhone(message);
  }
  return PhoneText(message, account, common);
}

}  // namespace velnora
