#include "engine/compose/subject_text.h"

#include <algorithm>
#include <array>

#include "config/word_list.h"
#include "engine/message/byte_strings.h"

namespace velnora {
namespace {

// One ASCII look-alike per byte 0x80..0xFF, by rows of 16.
constexpr std::array<std::string_view, 8> kAsciiRows = {
    "C*,f,.++^%S<E*Z*",  // 0x80
    "*`'\"\"*--~*s>e*zY",  // 0x90
    "*iCL*Y|*\"*a<*-*~",  // 0xA0
    "o*23'u**,10>***?",  // 0xB0
    "AAAAAAACEEEEIIII",  // 0xC0
    "DNOOOOOxOUUUUYbB",  // 0xD0
    "aaaaaaaceeeeiiii",  // 0xE0
    "dnooooo*ouuuuyby",  // 0xF0
};

struct Prefix {
  std::string_view text;
  char mark;
};
constexpr std::array<Prefix, 6> kReplyForwardPrefixes = {{
    {"re: ", '<'}, {"re:", '<'}, {"fw: ", '>'}, {"fw:", '>'}, {"fwd: ", '>'}, {"fwd:", '>'},
}};

}  // namespace

std::size_t CharacterLength(std::string_view text, std::size_t at, CharsetCode code) {
  const auto byte = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  if (code == charset::kUtf8) {
    length = static_cast<std::size_t>(std::max(1, Utf8SequenceLength(byte)));
  } else if (StartsDoubleByte(byte, code)) {
    length = 2;
  }
  return std::min(length, text.size() - at);
}

void MarkReplyForward(std::string& text) {
  std::string marks;
  std::size_t at = 0;
  for (;;) {
    const std::string_view rest = std::string_view(text).substr(at);
    const Prefix* found = nullptr;
    for (const Prefix& prefix : kReplyForwardPrefixes) {
      if (StartsWithNoCase(rest, prefix.text)) {
        found = &prefix;
        break;
      }
    }
    if (!found) break;
    at += found->text.size();
    if (marks.size() < kMaxReplyForwardMarks) marks.push_back(found->mark);
  }
  text = marks + text.substr(at);
}

void MarkReplyForwardAfter(std::string& text, std::string_view lead) {
  if (lead.empty() || !text.starts_with(lead)) {
    MarkReplyForward(text);
    return;
  }
  std::string rest = text.substr(lead.size());
  MarkReplyForward(rest);
  text = std::string(lead) + rest;
}

void TransliterateToAscii(std::string& text) {
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) c = kAsciiRows[(byte - 0x80) / 16][(byte - 0x80) % 16];
  }
}

bool StartsDoubleByte(unsigned char byte, CharsetCode code) {
  switch (code) {
    case charset::kShiftJis:
    case charset::kShiftJisBase64:
      return IsCp932LeadByte(byte);
    case charset::kBig5:
    case charset::kGb2312:
    case charset::kGb18030:
    case charset::kGbk:
      return IsLeadByte(byte, code);
    case charset::kEucJp:
    case charset::kEucKr:
    case charset::kKsC5601:
    case charset::kEucCn:
    case charset::kEucTw:
      return byte == 0x8E || (byte >= 0xA1 && byte <= 0xFE);
    default:
      return false;  // single-byte sets: every byte is a character
  }
}

void CutAfterCharacterAt(std::string& text, CharsetCode code, long position) {
  if (text.empty()) return;
  std::size_t at = 0;
  while (static_cast<long>(at) < position) {
    const std::size_t next = at + CharacterLength(text, at, code);
    if (next >= text.size()) return;  // the text ends before the position
    at = next;
  }
  text.resize(at + CharacterLength(text, at, code));
}

void CutAtCharacterBoundary(std::string& text, CharsetCode code, std::size_t length) {
  if (text.size() <= length) return;
  std::size_t at = 0;
  while (at < length) {
    const std::size_t next = at + CharacterLength(text, at, code);
    if (next > length) break;
    at = next;
  }
  text.resize(at);
}

}  // namespace velnora
