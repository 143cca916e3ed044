#include "engine/compose/phone_shaping.h"

#include "config/account_settings.h"
#include "convert/charset_detect.h"
#include "engine/compose/compose_content.h"
#include "engine/compose/phone_shaping_steps.h"
#include "engine/compose/subject_text.h"
#include "engine/compose/text_forms.h"

namespace velnora {
namespace {

bool IsLatin(CharsetCode code) {
  return code == charset::kUsAscii ||
         (code >= charset::kIso8859First && code <= charset::kIso8859Last);
}

// The code by which the characters of shaped text are walked.
CharsetCode WalkCode(CharsetCode code) {
  return code == charset::kIso2022Jp ? charset::kShiftJis : code;
}

// Latin mail is reduced to ASCII unless 8-bit mail may go out; Japanese mail
// is shaped as Shift_JIS.
ShapedBody PrepareCharset(std::string_view body, CharsetCode code, int32_t transferCode,
                          bool allow8bit) {
  ShapedBody shaped{std::string(body), code, transferCode};
  if (IsLatin(code)) {
    if (allow8bit) {
      shaped.transfer = code == charset::kUsAscii ? transfer::k7bit : transfer::k8bit;
    } else {
      TransliterateToAscii(shaped.text);
      shaped.code = charset::kUsAscii;
      shaped.transfer = transfer::k7bit;
    }
  } else if (code == charset::kUndetermined || code == charset::kNone) {
    const CharsetCode found = GuessJapaneseCharset(body);
    if (found != charset::kUndetermined) shaped.code = found;
  }
  if (shaped.code == charset::kIso2022Jp) {
    shaped.text = JisAsSjis(shaped.text);
    shaped.transfer = transfer::k7bit;
  } else if (shaped.code == charset::kShiftJis) {
    shaped.code = charset::kIso2022Jp;
    shaped.transfer = transfer::k7bit;
  }
  return shaped;
}

// Every line end becomes CR LF (a lone CR or LF too, so no later step can
// split a pair), an overlong line continues on the next one, and the text
// ends with CR LF.
std::string NormaliseLines(std::string_view text, CharsetCode code) {
  std::string out;
  out.reserve(text.size() + text.size() / 64 + 2);
  std::size_t lineLength = 0;
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == '\r' || text[at] == '\n') {
      at += text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1;
      out += "\r\n";
      lineLength = 0;
      continue;
    }
    const std::size_t length = ShapedUnitLength(text, at, code);
    if (lineLength + length > kMaxShapedLine) {
      out += "\r\n";
      lineLength = 0;
    }
    out.append(text, at, length);
    lineLength += length;
    at += length;
  }
  if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
  return out;
}

}  // namespace

std::size_t ShapedUnitLength(std::string_view text, std::size_t at, CharsetCode code) {
  const CharsetCode walk = WalkCode(code);
  const std::size_t length = CharacterLength(text, at, walk);
  for (std::size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(text[at + k]);
    const bool broken = walk == charset::kUtf8 ? (byte & 0xC0) != 0x80 : byte < 0x30;
    if (broken) return 1;
  }
  return length;
}

ShapedBody ShapePhoneBody(std::string_view body, CharsetCode code, int32_t transferCode,
                          const AccountSettings& account) {
  ShapedBody shaped = PrepareCharset(body, code, transferCode, account.phoneAllow8bit != 0);
  shaped.text = NormaliseLines(shaped.text, shaped.code);
  if (account.phoneRemoveCitations) shaped.text = RemoveCitations(shaped.text, account);
  if (account.phoneCutOriginalMessage) {
    shaped.text = CutOriginalMessage(shaped.text, account.phoneCutOriginalLines);
  }
  if (account.phoneCutAtWord) shaped.text = CutAtWords(shaped.text, account);
  shaped.text = RemoveCharacters(shaped.text, shaped.code, account);
  if (account.phoneRemoveBlankLines) shaped.text = RemoveBlankLines(shaped.text, shaped.code);
  if (account.phoneCompactWords || account.phoneConvertLinefeed) {
    shaped.text = CompactText(shaped.text, shaped.code, account);
  }
  return shaped;
}

}  // namespace velnora
