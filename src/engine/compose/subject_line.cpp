#include "engine/compose/subject_line.h"

#include <span>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "convert/unicode_local.h"
#include "convert/utf8_check.h"
#include "engine/message/byte_strings.h"
#include "engine/compose/compose_header_text.h"
#include "engine/message/mail_message.h"
#include "engine/compose/subject_number.h"
#include "engine/compose/subject_text.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

constexpr std::string_view kSubjectName = "Subject:";
// Developer option: decode and re-encode every subject.
constexpr std::string_view kReencodeSubjectOption = "hv830124";

bool HasPrefix(const AccountSettings& account) {
  return account.subjectPrefixOn && !FieldText(account.subjectPrefix).empty();
}

bool PrefixOnly(const AccountSettings& account) {
  return account.subjectPrefixOn && account.removeOriginalSubject;
}

// A plain folded subject keeps its line breaks through decoding; a cut
// between CR and LF would end the header early on the wire, and a
// re-encoded text carries no folds anyway.
DecodedText DecodeUnfolded(std::string_view text, bool convertUnicode) {
  DecodedText d = DecodeHeaderValue(text, convertUnicode);
  d.text = RemoveCrLf(d.text);
  return d;
}

// Code 1 text is cut by its characters before `limit` - 2 (the position
// reached may carry one more character); other text to `limit` + 1 bytes,
// never inside a double-byte character.
void LimitDecoded(DecodedText& d, long limit) {
  if (static_cast<long>(d.text.size()) <= limit) return;
  if (d.code == charset::kShiftJis) {
    CutAfterCharacterAt(d.text, d.code, limit - 2);
  } else {
    CutAtCharacterBoundary(d.text, d.code, static_cast<std::size_t>(limit < 0 ? 0 : limit + 1));
  }
}

// An undeclared 8-bit subject in Shift_JIS is cut like a declared one.
CharsetCode CutCode(const DecodedText& d) {
  if (d.code == charset::kUsAscii || d.code == charset::kNone) {
    for (char c : d.text) {
      if (static_cast<unsigned char>(c) >= 0x80) return charset::kShiftJis;
    }
  }
  return d.code;
}

std::string PhoneSubject(std::string_view t, std::string_view lead, const AccountSettings& account,
                         const ConvertOptions& options, int partNumber) {
  DecodedText d = DecodeUnfolded(t, true);
  if (account.phoneKeepReFw == 0) MarkReplyForwardAfter(d.text, lead);
  const int part = partNumber + 1;
  if (account.phoneShortenSubject && (account.phoneCutFirstSubject || part > 1)) {
    LimitDecoded(d, account.phoneSubjectBytes);
  }
  if (account.phoneConvertBody && account.phoneConvertSubject) {
    if (account.phoneUtf8) {
      std::string utf8 = d.text;
      utf8.resize(3 * d.text.size() + 4, '\0');
      if (ConvertLocalToUtf8(std::span<char>(utf8), charset::kShiftJis, charset::kUtf8)) {
        d.text = utf8.substr(0, utf8.find('\0'));
      }
      return EncodeHeaderValue(d.text, charset::kUtf8, options);
    }
    return EncodeHeaderValue(d.text, charset::kShiftJisBase64, options);
  }
  if (d.code == charset::kShiftJis || account.phoneAllow8bit) {
    return EncodeHeaderValue(d.text, d.code, options);
  }
  TransliterateToAscii(d.text);
  return d.text;
}

std::string LimitedSubject(std::string_view t, const AccountSettings& account,
                           const ConvertOptions& options) {
  DecodedText d = DecodeUnfolded(t, false);
  const long limit = account.limitSubjectBytes;
  if (d.code == charset::kUtf8) {
    // Also blanks broken sequences of a subject that fits.
    d.text.push_back('\0');
    LimitUtf8Length(std::span<char>(d.text), static_cast<std::size_t>(limit < 0 ? 0 : limit));
    d.text.resize(d.text.find('\0'));
  } else if (CutCode(d) != d.code) {
    if (static_cast<long>(d.text.size()) > limit) {
      CutAtCharacterBoundary(d.text, charset::kShiftJis,
                             static_cast<std::size_t>(limit < 0 ? 0 : limit + 1));
    }
  } else {
    LimitDecoded(d, limit);
  }
  return EncodeHeaderValue(d.text, d.code, options);
}

}  // namespace

std::string_view SubjectValue(std::string_view subjectLine) {
  std::string_view value = WithoutLineEnd(subjectLine);
  value.remove_prefix(std::min(value.size(), kSubjectName.size()));
  if (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  return value;
}

std::string BuildSubjectLine(const MailMessage& message, const AccountSettings& account,
                             const CommonSettings& common, const ConvertOptions& options,
                             int partNumber, std::string_view senderSuffix) {
  if (account.dropSubjectHeader) return {};
  std::string line = "Subject: ";
  std::string lead = NumberPrefix(account, partNumber);
  if (HasPrefix(account)) lead += FieldText(account.subjectPrefix);

  if (message.subject.empty()) {
    line += lead + "(no subject) " + std::string(senderSuffix);
    return FoldSafe(line) + "\r\n";
  }
  const std::string_view received = WithoutLineEnd(message.subject);
  const std::string_view value = SubjectValue(received);
  const std::string_view cutValue = SubjectValue(received.substr(0, kMaxSubjectLine));
  const std::string cutText = PrefixOnly(account) ? lead : lead + std::string(cutValue);

  if (account.phoneMode) {
    line += PhoneSubject(cutText, lead, account, options, partNumber);
  } else if (account.unicodeToJis && FindNoCase(received, "=?utf-") != kNotFound) {
    const std::string whole = (PrefixOnly(account) ? lead : lead + std::string(value)) +
                              std::string(senderSuffix);
    const DecodedText d = DecodeHeaderValue(whole, false);
    line += RemoveCrLf(EncodeHeaderValue(d.text, d.code, options));
  } else if (account.limitSubjectOn) {
    line += LimitedSubject(cutText, account, options);
  } else if (PrefixOnly(account)) {
    line += lead + std::string(senderSuffix);
  } else if (FindNoCase(FieldText(common.developerOptions), kReencodeSubjectOption) != kNotFound) {
    const DecodedText d = DecodeUnfolded(cutValue, false);
    line += lead + EncodeHeaderValue(d.text, d.code, options) + std::string(senderSuffix);
  } else {
    line += lead + std::string(value) + std::string(senderSuffix);
  }
  return FoldSafe(line) + "\r\n";
}

}  // namespace velnora
