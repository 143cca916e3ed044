#include "convert/header_clean.h"

#include <string_view>

#include "convert/text_buffer.h"

namespace velnora {
namespace {

// Keeps the bytes for which `keep(byte)` is true.
template <typename Keep>
std::size_t Filter(std::span<char> text, Keep keep) {
  const std::size_t n = TextLength(text);
  std::size_t w = 0;
  for (std::size_t r = 0; r < n; ++r) {
    if (keep(text[r])) text[w++] = text[r];
  }
  Terminate(text, w);
  return w;
}

// Drops every section from `open` to the next `close` inclusive; an
// unclosed section runs to the end of the text.
std::size_t DropSections(std::span<char> text, char open, char close) {
  bool inside = false;
  return Filter(text, [&](char c) {
    if (inside) {
      if (c == close) inside = false;
      return false;
    }
    if (c == open) {
      inside = true;
      return false;
    }
    return true;
  });
}

}  // namespace

std::size_t RemoveLineBreaks(std::span<char> text) {
  return Filter(text, [](char c) { return c != '\r' && c != '\n'; });
}

std::size_t TabsToSpaces(std::span<char> text) {
  const std::size_t n = TextLength(text);
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] == '\t') text[i] = ' ';
  }
  return n;
}

std::size_t CollapseSpaces(std::span<char> text) {
  char previous = '\0';
  return Filter(text, [&](char c) {
    bool keep = !(c == ' ' && previous == ' ');
    previous = c;
    return keep;
  });
}

std::size_t JoinAdjacentWords(std::span<char> text) {
  const std::size_t n = TextLength(text);
  std::size_t w = 0;
  for (std::size_t r = 0; r < n;) {
    if (std::string_view(text.data() + r, n - r).starts_with("?= =?")) {
      for (char c : std::string_view("?==?")) text[w++] = c;
      r += 5;
      continue;
    }
    text[w++] = text[r++];
  }
  Terminate(text, w);
  return w;
}

std::size_t RemoveTabs(std::span<char> text) {
  return Filter(text, [](char c) { return c != '\t'; });
}

std::size_t RemoveSpaces(std::span<char> text) {
  return Filter(text, [](char c) { return c != ' '; });
}

std::size_t RemoveChar(std::span<char> text, char drop) {
  return Filter(text, [drop](char c) { return c != drop; });
}

std::size_t StripTrailingChar(std::span<char> text, char last) {
  std::size_t n = TextLength(text);
  if (n > 0 && text[n - 1] == last) {
    --n;
    Terminate(text, n);
  }
  return n;
}

std::size_t RemoveQuotedText(std::span<char> text) { return DropSections(text, '"', '"'); }

std::size_t RemoveComments(std::span<char> text) { return DropSections(text, '(', ')'); }

}  // namespace velnora
