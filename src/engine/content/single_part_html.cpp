#include "engine/content/single_part_html.h"

#include <string>

#include "config/account_settings.h"
#include "convert/html_to_text.h"
#include "engine/content/content_text.h"
#include "engine/filter/filter_content.h"
#include "engine/message/mail_message.h"

namespace velnora {

void ConvertSinglePartHtml(MailMessage& message, const AccountSettings& account,
                           const CommonSettings& common) {
  if (account.phoneMode || !account.partProcessing || !account.htmlToText || !message.body) return;
  const bool html = message.partLayout == kLayoutHtml ||
                    (message.partLayout == kLayoutText && IsHtmlDocument(message.Body()));
  if (!html) return;

  CharsetCode code = message.contentCharset;
  if (code == 0) code = charset::kUndetermined;
  HtmlText result = HtmlToText(DecodeTransfer(message.Body(), message.bodyEncoding), code, HtmlOptionsFor(account, common, code));

  // The transfer code follows the bytes written: 7bit only when none is
  // above 127.
  message.bodyEncoding = result.base64             ? kTransferBase64
                         : HasEightBitByte(result.text) ? kTransfer8bit
                                                    : kTransfer7bit;
  message.contentCharset = result.charset;
  message.partLayout = kLayoutText;
  message.convertedBody = std::move(result.text);
}

}  // namespace velnora
