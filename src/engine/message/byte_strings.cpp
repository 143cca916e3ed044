#include "engine/message/byte_strings.h"

#include <string>
#include <vector>

#include "convert/ascii_case.h"

namespace velnora {
namespace {

// Both sides are folded the same way: A-Z only, and not the trail bytes of
// double-byte characters, each side walked from its own start.
bool EqualNoCaseAt(std::string_view s, size_t at, std::string_view pattern, Cp932Walk sWalk) {
  Cp932Walk pWalk;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const auto a = static_cast<unsigned char>(s[at + i]);
    const auto b = static_cast<unsigned char>(pattern[i]);
    if (sWalk.Folded(a) != pWalk.Folded(b)) return false;
    sWalk.Step(a);
    pWalk.Step(b);
  }
  return true;
}

// The compacted copy is cut at this many bytes.
constexpr size_t kCompactLimit = 254;

bool IsCompactedAway(char c) {
  return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '"';
}

// The kept bytes of `s` and, for each, its offset in `s`.
struct Compacted {
  std::string text;
  std::vector<size_t> origin;
};

Compacted Compact(std::string_view s) {
  Compacted c;
  for (size_t i = 0; i < s.size() && c.text.size() < kCompactLimit; ++i) {
    if (IsCompactedAway(s[i])) continue;
    c.text += s[i];
    c.origin.push_back(i);
  }
  return c;
}

}  // namespace

bool StartsWithNoCase(std::string_view s, std::string_view lowerPrefix) {
  return StartsWithLower(s, lowerPrefix);
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }

bool EndsWith(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  if (s.size() < suffix.size()) return false;
  const size_t at = s.size() - suffix.size();
  return EqualNoCaseAt(s, at, suffix, Cp932Walk(s, at));
}

size_t FindNoCase(std::string_view s, std::string_view pattern) {
  if (pattern.size() > s.size()) return kNotFound;
  Cp932Walk walk;
  for (size_t at = 0; at + pattern.size() <= s.size(); ++at) {
    if (EqualNoCaseAt(s, at, pattern, walk)) return at;
    walk.Step(static_cast<unsigned char>(s[at]));
  }
  return kNotFound;
}

size_t CountNoCase(std::string_view s, std::string_view pattern) {
  if (pattern.empty()) return 0;
  size_t count = 0;
  Cp932Walk walk;
  for (size_t at = 0; at + pattern.size() <= s.size(); ++at) {
    if (EqualNoCaseAt(s, at, pattern, walk)) ++count;
    walk.Step(static_cast<unsigned char>(s[at]));
  }
  return count;
}

size_t FindNoCaseCompact(std::string_view s, std::string_view pattern) {
  Compacted c = Compact(s);
  size_t at = FindNoCase(c.text, pattern);
  if (at == kNotFound) return kNotFound;
  if (at >= c.origin.size()) return s.size();  // empty pattern past the kept text
  return c.origin[at];
}

bool StartsWithNoCaseCompact(std::string_view s, std::string_view lowerPrefix) {
  return StartsWithNoCase(Compact(s).text, lowerPrefix);
}

}  // namespace velnora
