#include "engine/content/content_text.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "config/account_settings.h"
#include "config/common_settings.h"
#include "convert/base64.h"
#include "convert/convert_options.h"
#include "convert/header_text.h"
#include "convert/jis_convert.h"
#include "convert/quoted_printable.h"
#include "convert/unicode_local.h"
#include "engine/content/file_name_parameters.h"
#include "engine/message/byte_strings.h"
#include "transport/field_text.h"

namespace velnora {
namespace {

// Developer option: the converted text ends with its charset's short name.
constexpr std::string_view kDiagnosticMarkerOption = "bz720506";

constexpr char kControlReplacement = '_';

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

// Bytes that a valid UTF-8 text is made of, and at least one sequence.
bool LooksLikeUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const int length = Utf8SequenceLength(static_cast<unsigned char>(text[i]));
    if (length == 0 || i + length > text.size()) return false;
    for (int k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

// Raw 8-bit bytes in a header (no encoded-word): UTF-8 when they read as
// UTF-8, else Shift_JIS, the two a sender's program writes unlabelled.
CharsetCode GuessRawName(std::string_view text) {
  return LooksLikeUtf8(text) ? charset::kUtf8 : charset::kShiftJis;
}

}  // namespace

bool IsHtmlDocument(std::string_view text) {
  for (std::string_view marker : {"<html", "</html>", "<head", "</head>", "<body", "</body>"}) {
    if (FindNoCase(text, marker) == kNotFound) return false;
  }
  return true;
}

HtmlTextOptions HtmlOptionsFor(const AccountSettings& account, const CommonSettings& common,
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


LineBreakOptions LineBreakOptionsFor(const AccountSettings& account) {
  LineBreakOptions options;
  options.noAutoCrlf = account.noAutoCrlf != 0;
  options.phoneMode = account.phoneMode != 0;
  options.phoneInsertLineBreaks = account.phoneInsertLineBreaks != 0;
  options.phoneLineBreakBytes = account.phoneLineBreakBytes;
  options.phoneRemoveCitations = account.phoneRemoveCitations != 0;
  options.phoneCitationPrefixes = FieldText(account.phoneCitationPrefixes);
  return options;
}

CharsetCode ToLocalCodePage(std::string& text, CharsetCode code) {
  if (code != charset::kUtf8 && code != charset::kUtf7) return code;
  std::vector<char> area(text.begin(), text.end());
  area.push_back('\0');
  const CharsetCode local = ConvertUnicodeToLocal(std::span<char>(area), code);
  if (local == charset::kUndetermined) return code;
  text.assign(area.data(), ::strnlen(area.data(), area.size()));
  return local;
}

std::string DecodeTransfer(std::string_view body, int transferCode) {
  std::string text(body);
  const std::span<char> room(text.data(), text.size());
  std::size_t length = text.size();
  if (transferCode == 3) length = QuotedPrintableDecodeText(room);
  if (transferCode == 4) length = Base64DecodeBytes(room);
  text.resize(std::min(length, text.size()));
  return text;
}

int TransferCodeOfBytes(std::string_view bytes) { return HasEightBitByte(bytes) ? 2 : 1; }

std::string FileNameParameter(std::string_view headerLines) {
  const std::vector<HeaderParameter> parameters = ParseHeaderParameters(headerLines);
  for (std::string_view base : {"filename", "name"}) {
    std::string value = AssembleParameter(parameters, base);
    if (!value.empty()) return value;
  }
  return {};
}

FileName DecodeFileName(std::string_view rawName) {
  std::vector<char> area(kHeaderWorkArea, '\0');
  CharsetCode code = DecodeHeaderText(rawName, std::span<char>(area), true);
  FileName name;
  name.text.assign(area.data(), ::strnlen(area.data(), area.size()));
  // Encoded-words in ISO-2022-JP come out as Shift_JIS text.
  if (code == charset::kIso2022Jp) code = charset::kShiftJis;
  if (code == charset::kUsAscii && HasEightBitByte(name.text)) code = GuessRawName(name.text);
  code = ToLocalCodePage(name.text, code);
  for (char& c : name.text) {
    if (IsControl(static_cast<unsigned char>(c))) c = kControlReplacement;
  }
  name.code = HasEightBitByte(name.text) ? code : charset::kUsAscii;
  return name;
}

FileName NoticeFileName(const FileName& name) {
  if (name.code != charset::kShiftJis) return name;
  std::vector<char> out(4 * name.text.size() + 16, '\0');
  const std::size_t length = SjisToJis(name.text, std::span<char>(out), ConvertOptions{});
  FileName notice{std::string(out.data(), length), charset::kIso2022Jp};
  // Shift_JIS bytes without a JIS form stay 8-bit; they must not go out
  // under a 7-bit label.
  for (char& c : notice.text) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return notice;
}

}  // namespace velnora
