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

}  // namespace velnora
