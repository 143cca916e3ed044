// The character-wise shaping steps: removal of spaces, tabs, ideographic
// spaces and runs of a repeated symbol, and word compaction.
#include <cctype>

#include "config/account_settings.h"
#include "engine/compose/phone_shaping.h"
#include "engine/compose/phone_shaping_steps.h"

namespace velnora {
namespace {

// A run of one repeated symbol keeps this many units, its last one included.
constexpr int kKeptByteRepeats = 3;
constexpr int kKeptDoubleByteRepeats = 2;
// Word compaction and line-feed conversion break the text after this many bytes.
constexpr std::size_t kCompactLineBytes = 512;
constexpr std::string_view kIdeographicSpace = "\x81\x40";

bool RemovesSpaces(CharsetCode code) {
  switch (code) {
    case charset::kIso2022Jp: case charset::kUsAscii: case charset::kBig5: case charset::kGb2312:
    case charset::kGb18030: case charset::kGbk: case charset::kHzGb2312:
      return true;
    default:
      return code >= charset::kIso8859First && code <= charset::kIso8859Last;
  }
}

bool IsAsciiSymbol(unsigned char byte) {
  return byte > 0x20 && byte < 0x7F && !std::isalnum(byte);
}

// Only decoration is shortened: ASCII punctuation, and the Shift_JIS
// symbols and box-drawing characters. Letters, digits and words ("1000000",
// "coconut", a repeated kana) stay as they were written.
bool IsDecoration(std::string_view unit, CharsetCode code) {
  const auto lead = static_cast<unsigned char>(unit[0]);
  if (unit.size() == 1) return IsAsciiSymbol(lead);
  if (unit.size() != 2 || code != charset::kIso2022Jp) return false;
  const auto trail = static_cast<unsigned char>(unit[1]);
  return lead == 0x81 || (lead == 0x84 && trail >= 0x9F && trail <= 0xBE);
}

// Position of a unit in the run of equal units it belongs to.
struct RepeatRun {
  std::string_view unit;
  int index = 0;
};

// A unit of a run of one repeated symbol is dropped once the run has kept
// its share, unless it ends the run.
bool DropsRepeat(std::string_view text, std::size_t at, std::string_view unit, CharsetCode code,
                 RepeatRun& run) {
  run.index = unit == run.unit ? run.index + 1 : 0;
  run.unit = unit;
  if (!IsDecoration(unit, code)) return false;
  const bool continues = text.substr(at + unit.size(), unit.size()) == unit;
  const int kept = unit.size() == 1 ? kKeptByteRepeats : kKeptDoubleByteRepeats;
  return continues && run.index >= kept;
}

bool DropsSpace(std::string_view text, std::size_t at, const std::string& out) {
  const bool nextSpace = at + 1 < text.size() && text[at + 1] == ' ';
  return nextSpace || out.empty() || out.back() == '\n';
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

std::string RemoveCharacters(std::string_view text, CharsetCode code, const AccountSettings& account) {
  const bool spaces = account.phoneRemoveSpaces && RemovesSpaces(code);
  const bool wideSpaces = account.phoneRemoveWideSpaces && code == charset::kIso2022Jp;
  if (!spaces && !wideSpaces && !account.phoneRemoveTabs && !account.phoneRemoveRepeats) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size());
  RepeatRun run;
  for (std::size_t at = 0; at < text.size();) {
    const std::string_view unit = text.substr(at, ShapedUnitLength(text, at, code));
    const bool drop = (spaces && unit == " " && DropsSpace(text, at, out)) ||
                      (account.phoneRemoveTabs && unit == "\t") ||
                      (wideSpaces && unit == kIdeographicSpace) ||
                      (account.phoneRemoveRepeats && DropsRepeat(text, at, unit, code, run));
    if (!drop) out += unit;
    at += unit.size();
  }
  return out;
}

std::string CompactText(std::string_view text, CharsetCode code, const AccountSettings& account) {
  const bool compact = account.phoneCompactWords != 0;
  const bool dropBreaks = account.phoneConvertLinefeed != 0;
  const bool wrap = !compact || !account.phoneSplit;
  std::string out;
  out.reserve(text.size() + text.size() / kCompactLineBytes * 2 + 2);
  std::size_t lineBytes = 0;
  bool capital = true;  // the next letter starts a word
  for (std::size_t at = 0; at < text.size();) {
    std::string unit(text.substr(at, ShapedUnitLength(text, at, code)));
    at += unit.size();
    const auto byte = static_cast<unsigned char>(unit[0]);
    if (IsLineEnd(unit[0])) {
      capital = true;
      if (dropBreaks) continue;
      out += unit;
      lineBytes = 0;
      continue;
    }
    if (compact) {
      if (unit == " ") {
        capital = true;
        continue;
      }
      if (unit.size() == 1 && std::isalpha(byte)) {
        unit[0] = static_cast<char>(capital ? std::toupper(byte) : std::tolower(byte));
        capital = false;
      } else {
        capital = unit.size() > 1 || std::isdigit(byte) || IsAsciiSymbol(byte);
      }
    }
    // Breaks fall between characters, never inside one.
    if (wrap && lineBytes > 0 && lineBytes + unit.size() > kCompactLineBytes) {
      out += "\r\n";
      lineBytes = 0;
    }
    out += unit;
    lineBytes += unit.size();
  }
  return out;
}

}  // namespace velnora
