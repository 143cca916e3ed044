#include "engine/filter/single_part_html.h"

#include <algorithm>
#include <span>
#include <string>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "convert/base64.h"
#include "convert/html_to_text.h"
#include "convert/quoted_printable.h"
#include "engine/filter/filter_content.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// Developer option: the converted text ends with its charset's short name.
constexpr std::string_view kDiagnosticMarkerOption = "bz720506";

// The body as its sender meant it: quoted-printable and Base64 undone in a
// copy, so the received buffer stays as it was.
std::string DecodedBody(const MailMessage& message) {
  std::string text(message.Body());
  const std::span<char> room(text.data(), text.size());
  std::size_t length = text.size();
  if (message.bodyEncoding == kTransferQuotedPrintable) length = QuotedPrintableDecodeText(room);
  if (message.bodyEncoding == kTransferBase64) length = Base64DecodeText(room);
  text.resize(std::min(length, text.size()));
  return text;
}

HtmlTextOptions OptionsOf(const AccountSettings& account, const CommonSettings& common,
                          CharsetCode code) {
  HtmlTextOptions options;
  options.htmlToText = true;
  options.extractLinks = account.extractLinks != 0;
  options.extractTitles = account.extractTitles != 0;
  options.extractImageAlt = account.extractImageAlt != 0;
  // An account that brings Unicode text into the local code page does so
  // for converted HTML too.
  const bool unicode = code == charset::kUtf8 || code == charset::kUtf7;
  options.htmlUseUtf8 = account.htmlUseUtf8 != 0 && !(unicode && account.unicodeToJis != 0);
  options.htmlBase64 = account.htmlBase64 != 0;
  options.diagnosticMarker =
      FieldText(common.developerOptions).find(kDiagnosticMarkerOption) != std::string_view::npos;
  return options;
}

bool HasHighByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace

bool IsHtmlDocument(std::string_view text) {
  for (std::string_view marker : {"<html", "</html>", "<head", "</head>", "<body", "</body>"}) {
    if (FindNoCase(text, marker) == kNotFound) return false;
  }
  return true;
}

void ConvertSinglePartHtml(MailMessage& message, const AccountSettings& account,
                           const CommonSettings& common) {
  if (account.phoneMode || !account.partProcessing || !account.htmlToText || !message.body) return;
  const bool html = message.partLayout == kLayoutHtml ||
                    (message.partLayout == kLayoutText && IsHtmlDocument(message.Body()));
  if (!html) return;

  CharsetCode code = message.contentCharset;
  if (code == 0) code = charset::kUndetermined;
  HtmlText result = HtmlToText(DecodedBody(message), code, OptionsOf(account, common, code));

  // The transfer code follows the bytes written: 7bit only when none is
  // above 127.
  message.bodyEncoding = result.base64             ? kTransferBase64
                         : HasHighByte(result.text) ? kTransfer8bit
                                                    : kTransfer7bit;
  message.contentCharset = result.charset;
  message.partLayout = kLayoutText;
  message.convertedBody = std::move(result.text);
}

}  // namespace velnora
