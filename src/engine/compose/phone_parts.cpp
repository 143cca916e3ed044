#include "engine/compose/phone_parts.h"

#include <algorithm>

#include "config/account_settings.h"
#include "engine/compose/compose_content.h"
#include "engine/compose/compose_header_text.h"
#include "engine/compose/phone_division.h"
#include "engine/compose/phone_shaping.h"
#include "engine/compose/sender_info.h"
#include "engine/compose/subject_text.h"
#include "engine/compose/text_forms.h"
#include "engine/message/byte_strings.h"
#include "engine/message/mail_message.h"

namespace velnora {
namespace {

constexpr std::size_t kMaxBodyInSubject = 255;

bool StillEncoded(int32_t transferCode) {
  return transferCode == transfer::kQuotedPrintable || transferCode == transfer::kBase64;
}

// Text that the account converts: Japanese, UTF-8, plain ASCII or unknown.
bool Convertible(CharsetCode code) {
  return code == charset::kIso2022Jp || code == charset::kUtf8 || code == charset::kUsAscii ||
         code == charset::kUndetermined || code == charset::kNone;
}

// The character set of the bytes written for shaped text of `code`.
CharsetCode OutputCharset(CharsetCode code, const AccountSettings& account) {
  if (!account.phoneConvertBody || !Convertible(code)) return code;
  return account.phoneUtf8 ? charset::kUtf8 : charset::kShiftJis;
}

std::string OutputForm(std::string_view text, CharsetCode code, const AccountSettings& account,
                       const ConvertOptions& options) {
  if (!account.phoneConvertBody) {
    return code == charset::kIso2022Jp ? SjisAsJis(text, options) : std::string(text);
  }
  if (account.phoneUtf8 && code == charset::kIso2022Jp) return SjisAsUtf8(text);
  if (!account.phoneUtf8 && code == charset::kUtf8) return Utf8AsLocal(text);
  return std::string(text);
}

std::vector<std::string> InfoLines(const MailMessage& message, const AccountSettings& account,
                                   int part, CharsetCode output, const ConvertOptions& options) {
  std::vector<std::string> lines;
  if (account.phoneAddSubject) lines.push_back(SubjectInfoLine(message, account, part, options));
  if (account.phoneAddSenderName) {
    lines.push_back(SenderInfoLine(message, account, part, output, options));
  }
  return lines;
}

// Every run of line breaks becomes one space; none at the start, none after
// a space.
std::string JoinLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '\r' && text[at] != '\n') {
      out += text[at];
      continue;
    }
    while (at + 1 < text.size() && (text[at + 1] == '\r' || text[at + 1] == '\n')) ++at;
    if (!out.empty() && out.back() != ' ') out += ' ';
  }
  return out;
}

std::string SubjectFromBody(std::string_view body, CharsetCode code, const AccountSettings& account,
                            const ConvertOptions& options) {
  std::string text = JoinLines(code == charset::kIso2022Jp ? JisAsSjis(body) : std::string(body));
  CharsetCode textCode = code == charset::kIso2022Jp ? charset::kShiftJis : code;
  CutAtCharacterBoundary(text, textCode, kMaxBodyInSubject);
  if (textCode == charset::kShiftJis && account.phoneConvertBody) textCode = charset::kShiftJisBase64;
  std::string encoded = EncodeHeaderValue(text, textCode, options);
  // A set without an encoded-word must not put 8-bit bytes into a header.
  if (HasEightBitByte(encoded)) TransliterateToAscii(encoded);
  return FoldSafe(encoded);
}

// The status report (ISO-2022-JP) takes the place of the shaped body, as
// Japanese text.
ShapedBody ReportAsShaped(std::string_view report) {
  return ShapedBody{JisAsSjis(report) + "\r\n", charset::kIso2022Jp, transfer::k7bit};
}

}  // namespace

std::string BodyInSubject(std::string_view header, std::string_view body, CharsetCode code,
                          const AccountSettings& account, const ConvertOptions& options) {
  std::string head(header.substr(0, header.size() >= 2 ? header.size() - 2 : 0));
  // The first line is the envelope sender, never a header line.
  for (std::size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) {
    if (StartsWithNoCase(std::string_view(head).substr(at + 2), "subject:")) {
      head.replace(at + 2, 7, "X-Subje");
      break;
    }
  }
  return head + "Subject: " + SubjectFromBody(body, code, account, options) + "\r\n\r\n\r\n";
}

std::vector<std::string> FeaturePhoneFiles(MailMessage& message, const AccountSettings& account,
                                           const ConvertOptions& options,
                                           const std::optional<std::string>& statusReport,
                                           const PartHeaderFn& header) {
  message.partLayout = layout::kPlainText;
  // An encoded body (content left as it came) would break if it were cut.
  if (!statusReport && StillEncoded(message.bodyEncoding)) {
    return {header(0) + std::string(message.OutgoingBody()) + "\r\n"};
  }
  const ShapedBody shaped = statusReport ? ReportAsShaped(*statusReport)
                                         : ShapePhoneBody(message.OutgoingBody(), message.contentCharset,
                                                          message.bodyEncoding, account);
  const CharsetCode output = OutputCharset(shaped.code, account);
  const PartSource source{
      shaped, account,
      [&](int part) { return InfoLines(message, account, part, output, options); },
      [&](int part) { return CountedHeaderBytes(header(part), account); },
      [&](std::string_view text) { return OutputForm(text, shaped.code, account, options); }};
  const std::vector<std::string> bodies = DividePhoneBody(source);

  message.contentCharset = output;
  const bool eightBit = std::any_of(bodies.begin(), bodies.end(),
                                    [](const std::string& b) { return HasEightBitByte(b); });
  message.bodyEncoding = eightBit && !account.phoneBodyInSubject ? transfer::k8bit : transfer::k7bit;
  std::vector<std::string> files;
  for (std::size_t n = 0; n < bodies.size(); ++n) {
    const std::string head = header(static_cast<int>(n));
    files.push_back(account.phoneBodyInSubject ? BodyInSubject(head, bodies[n], output, account, options)
                                               : head + bodies[n]);
  }
  return files;
}

}  // namespace velnora
