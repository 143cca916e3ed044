#include "config/word_list.h"

#include <cstring>

namespace velnora {

bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string NormalizeWordList(std::string_view text, std::size_t capacity) {
  std::string out;
  if (capacity == 0) return out;
  const std::size_t limit = capacity - 1;
  bool quoted = false;
  std::size_t i = 0;
  auto put = [&](std::string_view piece) {
    if (out.size() + piece.size() > limit) return false;
    out.append(piece);
    return true;
  };
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool lineBreak = c == '\r' || c == '\n';
    const std::size_t breakLength = (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    if (lineBreak) {
      // A line break ends a quoted phrase: close it so the quotes stay paired.
      if (!put(quoted ? "\" " : " ")) break;
      quoted = false;
      i += breakLength;
      continue;
    }
    if (c == '"') {
      quoted = !quoted;
      if (!put("\"")) break;
      ++i;
      continue;
    }
    if (IsCp932LeadByte(c) && i + 1 < text.size()) {
      const bool wideSpace = c == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40;
      if (!put(wideSpace && !quoted ? std::string_view(" ") : text.substr(i, 2))) break;
      i += 2;
      continue;
    }
    if (!put(c == ',' && !quoted ? std::string_view(" ") : text.substr(i, 1))) break;
    ++i;
  }
  return out;
}

void NormalizeWordList(char* text, std::size_t capacity) {
  if (capacity == 0) return;
  const std::string normalized = NormalizeWordList(FieldText(text, capacity), capacity);
  std::memcpy(text, normalized.data(), normalized.size());
  text[normalized.size()] = '\0';
}

int CountWords(std::string_view text) {
  int count = 0;
  bool quoted = false;
  bool entryHasText = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      count += entryHasText ? 1 : 0;
      entryHasText = false;
    } else {
      entryHasText = true;
      if (IsCp932LeadByte(c) && i + 1 < text.size()) ++i;
    }
  }
  return count + (entryHasText ? 1 : 0);
}

std::vector<std::string> WordEntries(std::string_view text) {
  std::vector<std::string> entries;
  std::string entry;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ' ' && !quoted) {
      if (!entry.empty()) entries.push_back(std::move(entry));
      entry.clear();
    } else {
      entry += text[i];
      if (IsCp932LeadByte(c) && i + 1 < text.size()) entry += text[++i];
    }
  }
  if (!entry.empty()) entries.push_back(std::move(entry));
  return entries;
}

std::string WordListLines(std::string_view text, std::size_t limit) {
  const std::string list = NormalizeWordList(text, text.size() + 1);
  std::string lines;
  bool quoted = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(list[i]);
    const bool pair = IsCp932LeadByte(c) && i + 1 < list.size();
    std::string_view piece(&list[i], pair ? 2 : 1);
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted) piece = "\r\n";
    if (lines.size() + piece.size() > limit) break;
    lines += piece;
    if (pair) ++i;
  }
  return lines;
}

int CountQuotes(std::string_view text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '"') ++count;
    else if (IsCp932LeadByte(c)) ++i;
  }
  return count;
}

std::string_view FieldText(const char* buffer, std::size_t capacity) {
  const void* nul = std::memchr(buffer, '\0', capacity);
  return std::string_view(buffer, nul ? static_cast<const char*>(nul) - buffer : capacity);
}

}  // namespace velnora
