#include "engine/compose/sender_info.h"

#include "config/account_settings.h"
#include "convert/charset_detect.h"
#include "engine/compose/compose_header_text.h"
#include "engine/message/mail_message.h"
#include "engine/compose/subject_line.h"
#include "engine/compose/subject_number.h"
#include "engine/compose/subject_text.h"
#include "engine/compose/text_forms.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// The output form of a feature-phone information line.
std::string PhoneForm(std::string text, CharsetCode code, const AccountSettings& account,
                      const ConvertOptions& options) {
  if (!account.phoneConvertBody && code == charset::kShiftJis) text = SjisAsJis(text, options);
  else if (account.phoneConvertBody && account.phoneUtf8) text = SjisAsUtf8(text);
  if (!account.phoneConvertBody && !account.phoneAllow8bit) TransliterateToAscii(text);
  return text;
}

// The decoded sender in the character set of an ordinary body.
std::string BodyForm(DecodedText d, CharsetCode bodyCharset, const ConvertOptions& options) {
  if (!HasEightBitByte(d.text)) return d.text;
  const bool undeclared = d.code == charset::kUsAscii || d.code == charset::kNone;
  if (undeclared && LooksLikeSjis(d.text)) d.code = charset::kShiftJis;
  if (d.code == charset::kShiftJis) {
    return bodyCharset == charset::kShiftJis ? d.text : SjisAsJis(d.text, options);
  }
  if (d.code != bodyCharset) TransliterateToAscii(d.text);
  return d.text;
}

// A display name alone, or a comment alone, for the narrow phone screen.
void PhoneSenderName(std::string& text, std::string_view value) {
  const std::size_t angle = text.find('<');
  if (angle != std::string::npos) {
    if (!value.empty() && value.front() == '<') return;
    text.resize(angle);
    std::erase(text, '"');
    return;
  }
  const std::size_t paren = text.find('(');
  if (paren != std::string::npos) text = text.substr(paren);
}

}  // namespace

std::string SenderInfoLine(const MailMessage& message, const AccountSettings& account,
                           int partNumber, CharsetCode bodyCharset, const ConvertOptions& options) {
  if (partNumber != 0) return {};
  const std::string from = RemoveCrLf(WithoutLineEnd(message.from));
  if (from.size() <= 4) return {};
  std::string_view value = AfterHeaderName(from);
  if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  const std::string_view name = account.phoneMode ? "Fm:" : "From:";
  // Unicode names come into the local code page, from where they can take
  // the body's character set.
  DecodedText d = DecodeHeaderValue(std::string(name) + std::string(value), true);
  if (!account.phoneMode) return BodyForm(std::move(d), bodyCharset, options) + "\r\n";
  PhoneSenderName(d.text, value);
  return PhoneForm(std::move(d.text), d.code, account, options) + "\r\n";
}

std::string SubjectInfoLine(const MailMessage& message, const AccountSettings& account,
                            int partNumber, const ConvertOptions& options) {
  std::string prefix;
  if (account.subjectPrefixOn) prefix = FieldText(account.subjectPrefix);
  if (message.subject.empty()) {
    return NumberedText(account, partNumber, prefix + "(no subject)") + "\r\n";
  }
  DecodedText d = DecodeHeaderValue(RemoveCrLf(prefix + std::string(SubjectValue(message.subject))),
                                    account.phoneMode != 0);
  if (account.phoneKeepReFw == 0) MarkReplyForwardAfter(d.text, prefix);
  std::string text = NumberedText(account, partNumber, d.text);
  CutAtCharacterBoundary(text, d.code, kInfoLineArea - 1);
  const long limit = account.phoneSubjectBytes;
  if (account.phoneShortenSubject && (account.phoneCutFirstSubject || partNumber > 0) &&
      static_cast<long>(text.size()) > limit) {
    CutAfterCharacterAt(text, d.code, limit - 1);
  }
  return PhoneForm(std::move(text), d.code, account, options) + "\r\n";
}

}  // namespace velnora
