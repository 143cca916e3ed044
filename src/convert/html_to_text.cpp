#include "convert/html_to_text.h"

#include <algorithm>
#include <vector>

#include "convert/ascii_case.h"
#include "convert/base64.h"
#include "convert/charset_detect.h"
#include "convert/html_passes.h"
#include "convert/jis_convert.h"
#include "convert/text_buffer.h"
#include "convert/unicode_local.h"
#include "convert/utf8_check.h"
#include "platform/codepage_win.h"

namespace velnora {
namespace {

// HTML names its character set in a meta tag of its head, which readers
// look for near the start; searching the whole text for every "charset="
// would cost time in proportion to their number.
constexpr std::size_t kMetaCharsetWindow = 4096;

CharsetCode DetectedCharset(std::string_view html) {
  // <meta charset="utf-8"> quotes its label, which a header's parameter
  // does not.
  std::string head(html.substr(0, kMetaCharsetWindow));
  for (std::size_t at = 0; (at = head.find('=', at)) != std::string::npos; ++at) {
    if (at >= 7 && StartsWithLower(std::string_view(head).substr(at - 7), "charset=") && at + 1 < head.size() &&
        (head[at + 1] == '"' || head[at + 1] == '\'')) {
      head.erase(at + 1, 1);
    }
  }
  const CharsetCode labelled = CharsetFromContentType(head);
  if (labelled != charset::kNone) return labelled;
  const CharsetCode guessed = GuessJapaneseCharset(html);
  return guessed == charset::kUndetermined ? charset::kNone : guessed;
}

// The set the text is worked on in: ISO-2022-JP becomes Shift_JIS, UTF-7
// becomes UTF-8, and Unicode becomes Shift_JIS unless the account keeps it.
CharsetCode PrepareText(std::string& text, CharsetCode code, const HtmlTextOptions& options) {
  if (code != charset::kIso2022Jp && code != charset::kUtf8 && code != charset::kUtf7) {
    const CharsetCode detected = DetectedCharset(text);
    if (detected == charset::kIso2022Jp) {
      code = detected;
    } else if (code == charset::kUndetermined || code == charset::kNone) {
      code = detected;
    }
  }
  if (code == charset::kIso2022Jp) {
    std::string sjis(text.size() + 1, '\0');
    sjis.resize(JisToSjis(text, std::span<char>(sjis)) - 1);
    text = std::move(sjis);
    return charset::kShiftJis;
  }
  if ((code == charset::kUtf8 || code == charset::kUtf7) && !options.htmlUseUtf8) {
    CharsetCode local = code;
    ApplyInPlace(text, [&](std::span<char> buffer) {
      local = ConvertUnicodeToLocal(buffer, code);
      return TextLength(buffer);
    });
    return local == charset::kUndetermined ? code : local;
  }
  if (code == charset::kUtf7) {
    // UTF-7 may encode "<" and ">" themselves; only UTF-8 can be scanned.
    auto utf8 = platform::ConvertCodePage(platform::kCodePageUtf7, platform::kCodePageUtf8, text);
    if (utf8) {
      text = std::move(*utf8);
      return charset::kUtf8;
    }
  }
  return code;
}

std::string_view ShortName(CharsetCode code) {
  switch (code) {
    case charset::kShiftJis: return "SJIS";
    case charset::kIso2022Jp: return "2022";
    case charset::kBig5: return "BIG5";
    case charset::kGb2312: return "GB2312";
    case charset::kIso2022Kr: return "KR2022";
    case charset::kWindows1252: return "WIN1252";
    case charset::kKsC5601: return "KSC5601";
    case charset::kEucKr: return "EUCKR";
    case charset::kUtf7: return "UTF7";
    case charset::kUtf8: return "UTF8";
    default: return "8859/other";
  }
}

std::string Base64Lines(std::string_view text) {
  std::string encoded(text.size() / 3 * 4 + 8, '\0');
  encoded.resize(Base64EncodeBytes(std::span<const char>(text.data(), text.size()), std::span<char>(encoded)));
  std::string wrapped(encoded.size() + (encoded.size() / 72 + 2) * 2 + 16, '\0');
  wrapped.resize(WrapBase64Lines(encoded, std::span<char>(wrapped)));
  return wrapped;
}

}  // namespace

HtmlText HtmlToText(std::string_view html, CharsetCode code, const HtmlTextOptions& options) {
  std::string text(html);
  // A zero byte is no text, and the in-place conversions would end there.
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  code = PrepareText(text, code, options);

  // Text labelled plain ASCII (or not at all) takes the characters of its
  // references in Shift_JIS or UTF-8 and is then labelled so.
  const bool asciiLabel = code == charset::kUsAscii || code == charset::kUndetermined || code == charset::kNone;
  CharsetCode referenceCode = code;
  if (asciiLabel) {
    referenceCode = options.htmlUseUtf8 && !HasEightBitByte(text) ? charset::kUtf8 : charset::kShiftJis;
  }

  text = html::ConvertTags(text, code, options);
  bool wroteNonAscii = false;
  text = html::ResolveReferences(text, referenceCode, wroteNonAscii);
  if (asciiLabel && wroteNonAscii) code = referenceCode;

  bool invalidUtf8 = false;
  if (code == charset::kUtf8) {
    text = html::NormalizeUnicodeSpaces(text);
    ApplyInPlace(text, [&](std::span<char> buffer) {
      invalidUtf8 = BlankInvalidUtf8(buffer);
      return TextLength(buffer);
    });
  }
  text = html::CleanLines(text);

  if (options.diagnosticMarker) {
    text.append("\r\n[CS=").append(ShortName(code)).append("]\r\n");
    if (invalidUtf8) text.append("[INVALID UTF8]\r\n");
  }
  HtmlText result;
  result.charset = code;
  if (options.htmlBase64 && code == charset::kUtf8) {
    if (options.diagnosticMarker) text.append("[EC=B64]\r\n");
    result.text = Base64Lines(text);
    result.base64 = true;
  } else {
    result.text = std::move(text);
  }
  return result;
}

}  // namespace velnora
