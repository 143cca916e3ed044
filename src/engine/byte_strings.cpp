#include "engine/byte_strings.h"

#include <string>
#include <vector>

namespace velnora {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCaseAt(std::string_view s, size_t at, std::string_view pattern) {
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (Lower(s[at + i]) != Lower(pattern[i])) return false;
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
  if (s.size() < lowerPrefix.size()) return false;
  for (size_t i = 0; i < lowerPrefix.size(); ++i) {
    if (Lower(s[i]) != lowerPrefix[i]) return false;
  }
  return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }

bool EndsWith(std::string_view s, std::string_view suffix) { return s.ends_with(suffix); }

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualNoCaseAt(s, s.size() - suffix.size(), suffix);
}

size_t FindNoCase(std::string_view s, std::string_view pattern) {
  if (pattern.size() > s.size()) return kNotFound;
  for (size_t at = 0; at + pattern.size() <= s.size(); ++at) {
    if (EqualNoCaseAt(s, at, pattern)) return at;
  }
  return kNotFound;
}

size_t CountNoCase(std::string_view s, std::string_view pattern) {
  if (pattern.empty()) return 0;
  size_t count = 0;
  for (size_t at = 0; at + pattern.size() <= s.size(); ++at) {
    if (EqualNoCaseAt(s, at, pattern)) ++count;
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
