#include "engine/content/mime_rebuild.h"

#include <span>
#include <vector>

#include "config/account_settings.h"
#include "convert/charset_labels.h"
#include "convert/html_to_text.h"
#include "convert/utf8_check.h"
#include "engine/compose/compose_content.h"
#include "engine/content/content_text.h"
#include "engine/content/mime_parts.h"
#include "engine/content/single_part_steps.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

// What becomes of one part in an ordinary account's body.
enum class PartState {
  Skipped,    // a container, or nothing visible in it
  Dropped,    // the other alternative of a text that was chosen: nothing written
  Kept,       // text or HTML written as text
  Converted,  // HTML written as its text
  KeptFile,   // a file written as it came
  Removed,    // a file replaced by its notice
};

PartState FileState(const MimePart& part, const AccountSettings& account, bool keepWhenSmall,
                    bool oversize) {
  const bool byName = KeptByExtension(account, DecodeFileName(part.fileName).text);
  return byName || (keepWhenSmall && !oversize) ? PartState::KeptFile : PartState::Removed;
}

std::vector<PartState> DecideStates(std::string_view body, const MimePartTable& table,
                                    const AccountSettings& account, bool oversize) {
  const auto visible = [&](const MimePart& part) {
    return part.kind != PartKind::Multipart && HasVisibleText(part.Body(body));
  };
  bool htmlExists = false;
  for (const MimePart& part : table.parts) {
    htmlExists = htmlExists || (part.kind == PartKind::Html && !part.attachment && visible(part));
  }
  const bool allHtml = account.convertAllHtmlParts != 0;
  bool chosen = false;  // a text was chosen: the other alternatives go
  std::vector<PartState> states;
  for (const MimePart& part : table.parts) {
    PartState state = PartState::Skipped;
    if (!visible(part)) {
    } else if (part.kind == PartKind::Other) {
      state = FileState(part, account, true, oversize);
    } else if (part.attachment) {
      state = FileState(part, account, false, oversize);
    } else if (part.kind == PartKind::Text) {
      state = htmlExists && account.preferHtmlPart ? PartState::Dropped : PartState::Kept;
      chosen = chosen || (state == PartState::Kept && !allHtml);
    } else if (chosen && !allHtml) {
      state = PartState::Dropped;
    } else {
      state = !account.preferHtmlPart || account.htmlToText ? PartState::Converted : PartState::Kept;
      chosen = !allHtml;
    }
    states.push_back(state);
  }
  return states;
}

std::string TransferLineOf(int code) {
  switch (code) {
    case transfer::kBase64: return "Content-Transfer-Encoding: base64\r\n";
    case transfer::kQuotedPrintable: return "Content-Transfer-Encoding: quoted-printable\r\n";
    case transfer::k8bit: return "Content-Transfer-Encoding: 8bit\r\n";
    default: return "Content-Transfer-Encoding: 7bit\r\n";
  }
}

std::string TypeLine(std::string_view type, CharsetCode code) {
  const std::string_view label = CharsetLabelOf(code);
  std::string line = "Content-Type: " + std::string(type) + "; ";
  if (!label.empty()) line += "charset=\"" + std::string(label) + "\"";
  return line + "\r\n";
}

class NormalWriter {
 public:
  NormalWriter(MailMessage& message, const MimePartTable& table, const AccountSettings& account,
               const CommonSettings& common, std::string& out)
      : message_(message), body_(message.Body()), table_(table), account_(account), common_(common),
        out_(out) {
    const std::string type = MediaTypeOf(message.contentType);
    related_ = type == "multipart/related";
    message.partLayout = type == "multipart/alternative" ? layout::kAlternativeRebuilt
                         : type == "multipart/signed"    ? layout::kSignedRebuilt
                                                         : layout::kKeptAsReceived;
  }

  void Write(const MimePart& part, PartState state) {
    switch (state) {
      case PartState::Kept: WriteText(part); break;
      case PartState::Converted: WriteConverted(part); break;
      case PartState::KeptFile: WriteAsReceived(part); break;
      case PartState::Removed: WriteNotice(part); break;
      default: break;
    }
  }

  void Close() {
    if (keptText_ == 1 && keptHtml_ == 1) message_.partLayout = layout::kTextAndHtml;
    out_ += "\r\n\r\n--" + table_.boundaries.front() + "--\r\n";
  }

 private:
  // Every part starts on a line of its own with the message's delimiter.
  void Open() {
    if (!out_.empty() && out_.back() != '\n') out_ += "\r\n";
    out_ += "--" + table_.boundaries.front() + "\r\n";
  }

  void MarkRelated() {
    if (related_) message_.partLayout = layout::kRelatedRebuilt;
  }

  // "Only the attachments": the first text becomes one short line, the rest nothing.
  bool WroteMessageRemoved() {
    if (!account_.onlyWithAttachments || !account_.attachmentsOnly) return false;
    if (!messageRemoved_) {
      Open();
      out_ += "Content-Type: text/plain; \r\nContent-Transfer-Encoding: 7bit\r\n\r\n(MESSAGE REMOVED)\r\n\r\n";
      messageRemoved_ = true;
    }
    return true;
  }

  void WriteAsReceived(const MimePart& part) {
    Open();
    const std::string_view headers = part.Headers(body_);
    out_ += headers;
    out_ += headers.empty() ? "\r\n" : "\r\n\r\n";
    out_ += part.Body(body_);
  }

  void WriteText(const MimePart& part) {
    if (WroteMessageRemoved()) return;
    (part.kind == PartKind::Html ? keptHtml_ : keptText_)++;
    if (part.kind == PartKind::Text) MarkRelated();
    CharsetCode code = part.charset;
    if (!account_.unicodeToJis) {
      if (!account_.strictUtf8 || code != charset::kUtf8) return WriteAsReceived(part);
      std::string text(part.Body(body_));
      BlankInvalidUtf8(std::span<char>(text.data(), text.size()));
      Open();
      out_ += std::string(part.Headers(body_)) + "\r\n\r\n" + text;
      return;
    }
    std::string text = DecodeTransfer(part.Body(body_), part.transfer);
    code = ToLocalCodePage(text, code);
    if (!text.ends_with("\r\n")) text += "\r\n";
    if (account_.strictUtf8 && code == charset::kUtf8) BlankInvalidUtf8(std::span<char>(text.data(), text.size()));
    Open();
    out_ += TypeLine(part.kind == PartKind::Html ? "text/html" : "text/plain", code);
    out_ += TransferLineOf(TransferCodeOfBytes(text)) + "\r\n" + text;
  }

  void WriteConverted(const MimePart& part) {
    MarkRelated();
    if (WroteMessageRemoved()) return;
    std::string html = DecodeTransfer(part.Body(body_), part.transfer);
    CharsetCode code = SettledHtmlCharset(part.charset, html, message_.contentType);
    if (account_.unicodeToJis) code = ToLocalCodePage(html, code);
    const HtmlText result = HtmlToText(html, code, HtmlOptionsFor(account_, common_, code));
    Open();
    out_ += TypeLine("text/plain", result.charset);
    out_ += TransferLineOf(result.base64 ? transfer::kBase64 : TransferCodeOfBytes(result.text));
    out_ += "\r\n" + result.text;
  }

  void WriteNotice(const MimePart& part) {
    if (account_.phoneMode && account_.phoneNoRemovedFileInfo) return;
    const FileName name = NoticeFileName(DecodeFileName(part.fileName));
    Open();
    out_ += TypeLine("text/plain", name.code);
    if (HasEightBitByte(name.text)) out_ += TransferLineOf(transfer::k8bit);
    out_ += "\r\n--REMOVED FILE--\r\n" + name.text;
    const std::size_t length = part.Body(body_).size();
    if (length > 0) out_ += "\r\nSize = " + std::to_string(length / 1024 + 1) + " KB\r\n";
    MarkRelated();
  }

  MailMessage& message_;
  std::string_view body_;
  const MimePartTable& table_;
  const AccountSettings& account_;
  const CommonSettings& common_;
  std::string& out_;
  bool related_ = false;
  bool messageRemoved_ = false;
  int keptText_ = 0;
  int keptHtml_ = 0;
};

}  // namespace

int RebuildNormalBody(MailMessage& message, const MimePartTable& table,
                      const AccountSettings& account, const CommonSettings& common,
                      std::string& output) {
  const std::string_view body = message.Body();
  const std::vector<PartState> states = DecideStates(body, table, account, IsOversize(message, account));
  NormalWriter writer(message, table, account, common, output);
  for (std::size_t n = 0; n < table.parts.size(); ++n) writer.Write(table.parts[n], states[n]);
  writer.Close();
  return 1;
}

int RebuildMultipartBody(MailMessage& message, const MimePartTable& table,
                         const AccountSettings& account, const CommonSettings& common,
                         std::string& output) {
  return account.phoneMode ? RebuildPhoneBody(message, table, account, common, output)
                           : RebuildNormalBody(message, table, account, common, output);
}

}  // namespace velnora
