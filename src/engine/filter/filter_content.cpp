#include "engine/filter/filter_content.h"

#include <string_view>

#include "convert/charset_code.h"
#include "convert/charset_detect.h"
#include "engine/message/byte_strings.h"

namespace velnora {
namespace {

bool Has(std::string_view line, std::string_view word) { return FindNoCase(line, word) != kNotFound; }

int LayoutOf(std::string_view contentType, int otherwise) {
  if (Has(contentType, "text/plain")) return kLayoutText;
  if (Has(contentType, "text/html")) return kLayoutHtml;
  return otherwise;
}


}  // namespace

int TransferCodeOf(std::string_view line) {
  if (Has(line, "base64")) return 4;
  if (Has(line, "quoted-printable")) return 3;
  if (Has(line, "7bit")) return 1;
  if (Has(line, "8bit")) return 2;
  return 99;
}

bool ClassifyContent(MailMessage& message, const AccountSettings& account) {
  const std::string_view type = message.contentType;
  const std::string_view disposition = message.contentDisposition;
  if (Has(type, "boundary=") && Has(type, "multipart")) {
    message.partLayout = kLayoutAsIs;
    return true;
  }
  if (Has(disposition, "attachment")) {
    message.partLayout = LayoutOf(type, kLayoutAsIs);
    message.bodyEncoding = TransferCodeOf(message.contentTransferEncoding);
    return false;
  }
  if (type.empty()) {
    message.partLayout = kLayoutText;
    const std::string_view body = message.Body();
    const CharsetCode code = message.contentCharset;
    if (message.body != nullptr &&
        (code == 0 || code == charset::kUndetermined || code == charset::kNone)) {
      message.contentCharset = HasEightBitByte(body) ? charset::kIso2022Jp : charset::kUsAscii;
    }
  } else {
    message.partLayout =
        Has(type, "message/partial") ? kLayoutPartial : LayoutOf(type, kLayoutAsIs);
    CharsetCode code = CharsetFromLabel(type);
    if (code == charset::kUndetermined) {
      const bool phoneWithout8bit = account.phoneMode && !account.phoneAllow8bit;
      code = phoneWithout8bit ? charset::kIso2022Jp
                              : (message.subject.empty() ? charset::kUndetermined
                                                         : CharsetFromLabel(message.subject));
    }
    message.contentCharset = code;
  }
  message.bodyEncoding = TransferCodeOf(message.contentTransferEncoding);
  if (account.phoneMode && Has(disposition, "inline")) message.contentDisposition = {};
  return false;
}

}  // namespace velnora
