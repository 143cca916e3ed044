// A multipart message reduced to one plain text for a feature phone: the
// texts of its parts in the order they come, Japanese text as ISO-2022-JP,
// and a line for every file that was left behind.
#include <span>

#include "config/account_settings.h"
#include "convert/convert_options.h"
#include "convert/device_chars.h"
#include "convert/html_to_text.h"
#include "convert/jis_convert.h"
#include "convert/line_wrap.h"
#include "engine/compose/compose_content.h"
#include "engine/content/content_text.h"
#include "engine/content/mime_parts.h"
#include "engine/content/mime_rebuild.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

void ReplaceDeviceChars(std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]), charset::kShiftJis)) continue;
    ReplaceDeviceChar(std::span<char, 2>(text.data() + i, 2));
    ++i;
  }
}

class PhoneWriter {
 public:
  PhoneWriter(MailMessage& message, const AccountSettings& account, const CommonSettings& common,
              std::string& out)
      : message_(message), body_(message.Body()), account_(account), common_(common), out_(out) {
    // The label must describe the bytes this text is made of.
    message.contentCharset = 0;
  }

  // The text of a text or HTML part; false when its charset leaves it out.
  bool AppendText(const MimePart& part) {
    const bool html = part.kind == PartKind::Html;
    std::string text = html ? RemoveSoftBreaks(part.Body(body_)) : std::string(part.Body(body_));
    text = DecodeTransfer(text, part.transfer);
    CharsetCode code = html ? SettledHtmlCharset(part.charset, text, message_.contentType) : part.charset;
    if (IsOtherCjkCharset(code) && !account_.phoneAllow8bit) return false;
    code = ToLocalCodePage(text, code);
    if (html) {
      HtmlTextOptions options = HtmlOptionsFor(account_, common_, code);
      options.htmlUseUtf8 = false;  // the phone gets JIS, never UTF-8 or Base64
      options.htmlBase64 = false;
      HtmlText result = HtmlToText(text, code, options);
      text = std::move(result.text);
      code = result.charset;
    }
    if (!account_.phoneAllow8bit && (code == charset::kUndetermined || code == charset::kNone)) {
      code = charset::kShiftJis;
    }
    std::string wrapped;
    code = WrapLongLines(text, wrapped, code, LineBreakOptionsFor(account_));
    if (account_.phoneReplaceDeviceChars && code == charset::kShiftJis) ReplaceDeviceChars(wrapped);
    Append(wrapped, code);
    message_.partLayout = layout::kPlainText;
    return true;
  }

  void AppendRemovedLine(const MimePart& part) {
    if (account_.phoneNoRemovedFileInfo) return;
    FileName name = NoticeFileName(DecodeFileName(part.fileName));
    if (!account_.phoneAllow8bit) {
      // The text goes out labelled ISO-2022-JP: no 8-bit byte may stay in it.
      for (char& c : name.text) {
        if (static_cast<unsigned char>(c) >= 0x80) c = '?';
      }
      message_.contentCharset = charset::kIso2022Jp;
    }
    out_ += "\r\n--REMOVED--\r\n" + name.text + "\r\n";
  }

 private:
  void Append(const std::string& text, CharsetCode code) {
    // ASCII is Shift_JIS too: a plain first part must not label the
    // Japanese parts after it us-ascii.
    if (code == charset::kShiftJis || code == charset::kIso2022Jp || code == charset::kUsAscii) {
      // Half-width kana written as JIS X 0201 take 7 bytes each at worst.
      std::string jis(8 * text.size() + 16, '\0');
      const ConvertOptions options{.encodeHalfwidthKana = account_.encodeHalfwidthKana != 0};
      jis.resize(SjisToJis(text, std::span<char>(jis), options));
      out_ += jis;
      if (message_.contentCharset == 0 || message_.contentCharset == charset::kUndetermined) {
        message_.contentCharset = charset::kIso2022Jp;
      }
      return;
    }
    out_ += text;
    if (message_.contentCharset == 0) message_.contentCharset = code;
  }

  MailMessage& message_;
  std::string_view body_;
  const AccountSettings& account_;
  const CommonSettings& common_;
  std::string& out_;
};

}  // namespace

int RebuildPhoneBody(MailMessage& message, const MimePartTable& table,
                     const AccountSettings& account, const CommonSettings& common,
                     std::string& output) {
  const std::string_view body = message.Body();
  PhoneWriter writer(message, account, common, output);
  bool wroteText = false;
  for (const MimePart& part : table.parts) {
    if (part.kind == PartKind::Multipart || !HasVisibleText(part.Body(body))) continue;
    const bool text = part.kind == PartKind::Text || part.kind == PartKind::Html;
    const bool wanted = !wroteText || (!part.attachment && (part.kind == PartKind::Text ||
                                                            account.convertAllHtmlParts));
    if (text && wanted) {
      wroteText = writer.AppendText(part) || wroteText;
    } else if (part.attachment) {
      // Every file left behind is named, even after the text was written.
      writer.AppendRemovedLine(part);
    }
  }
  return !output.empty() || account.forwardSmtpErrorMails ? 1 : 0;
}

}  // namespace velnora
