#include "engine/content/single_part.h"

#include <span>
#include <string>

#include "config/account_settings.h"
#include "convert/utf8_check.h"
#include "engine/content/content_text.h"
#include "engine/content/file_name_parameters.h"
#include "engine/content/single_part_steps.h"
#include "engine/filter/filter_content.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

bool Has(std::string_view line, std::string_view word) { return FindNoCase(line, word) != kNotFound; }

bool Forward(MailMessage& message, Category code) {
  message.resultCode = code;
  return true;
}

bool Stop(MailMessage& message, Category code) {
  message.resultCode = code;
  return false;
}

// A later fragment of a message/partial mail: its "number" parameter is
// something other than 1.
bool IsLaterFragment(std::string_view contentType) {
  for (const HeaderParameter& p : ParseHeaderParameters(contentType)) {
    if (p.attribute == "number") return p.value != "1";
  }
  return true;
}

bool IsUnicode(CharsetCode code) { return code == charset::kUtf8 || code == charset::kUtf7; }

void BlankInvalidUtf8In(std::string& text) {
  BlankInvalidUtf8(std::span<char>(text.data(), text.size()));
}

void ConvertHtmlBody(MailMessage& message, const AccountSettings& account,
                     const CommonSettings& common) {
  CharsetCode code = message.contentCharset == 0 ? charset::kUndetermined : message.contentCharset;
  HtmlText result = HtmlToText(DecodeTransfer(message.Body(), message.bodyEncoding), code,
                               HtmlOptionsFor(account, common, code));
  SetTextBody(message, std::move(result.text), result.charset, result.base64);
}

// HTML becomes text when the account asks for it; Unicode text comes into
// the local code page with `unicodeToJis`; malformed UTF-8 is blanked with
// `strictUtf8`. Anything else stays as received.
void ConvertTextBody(MailMessage& message, const AccountSettings& account,
                     const CommonSettings& common) {
  if (HasHtmlBody(message)) {
    if (account.htmlToText) ConvertHtmlBody(message, account, common);
    return;
  }
  if (message.partLayout != kLayoutText) return;
  const bool toLocal = account.unicodeToJis && IsUnicode(message.contentCharset);
  const bool strict = account.strictUtf8 && message.contentCharset == charset::kUtf8;
  if (!toLocal && !strict) return;
  CharsetCode code = message.contentCharset;
  std::string text = toLocal ? DecodedLocalText(message, code)
                             : DecodeTransfer(message.Body(), message.bodyEncoding);
  if (code == charset::kUtf8 && account.strictUtf8) BlankInvalidUtf8In(text);
  SetTextBody(message, std::move(text), code);
}

// An oversize attachment: text is kept (and converted), a page the account
// prefers as HTML goes as it is, anything else is replaced by its notice.
bool StripAttachment(MailMessage& message, const AccountSettings& account,
                     const CommonSettings& common) {
  if (HasHtmlBody(message) && account.preferHtmlPart && !account.htmlToText) {
    return Forward(message, Category::Forwarded);
  }
  if (message.partLayout == kLayoutText || message.partLayout == kLayoutHtml) {
    ConvertTextBody(message, account, common);
    return Forward(message, Category::Forwarded);
  }
  const bool replaced = ReplaceRemovedFile(message, account);
  return Forward(message, replaced ? Category::ForwardedWithoutAttachments : Category::Forwarded);
}

bool ProcessOrdinarySinglePart(MailMessage& message, const AccountSettings& account,
                               const CommonSettings& common) {
  if (account.dropSplitBodies && message.partLayout == kLayoutPartial &&
      IsLaterFragment(message.contentType)) {
    return Stop(message, Category::NotForwarded);
  }
  if (!account.partProcessing) return Forward(message, Category::Forwarded);
  if (IsOversize(message, account)) {
    if (account.oversizeDrop) return Stop(message, Category::SizeFiltered);
    if (Has(message.contentDisposition, "attachment")) return StripAttachment(message, account, common);
    if (Has(message.contentType, "image/")) {
      const bool replaced = ReplaceRemovedImage(message, account);
      return Forward(message, replaced ? Category::ForwardedWithoutAttachments : Category::Forwarded);
    }
  }
  ConvertTextBody(message, account, common);
  return Forward(message, Category::Forwarded);
}

}  // namespace

bool ProcessSinglePartMessage(MailMessage& message, const AccountSettings& account,
                              const CommonSettings& common) {
  message.convertedBody.reset();
  if (!message.body) return Forward(message, Category::Forwarded);
  if (account.phoneMode) return ProcessPhoneSinglePart(message, account, common);
  return ProcessOrdinarySinglePart(message, account, common);
}

}  // namespace velnora
