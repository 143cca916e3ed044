#include "engine/filter/filter_word_list.h"

#include <algorithm>

namespace velnora {

std::vector<std::string> SplitList(std::string_view text, std::size_t max) {
  text = text.substr(0, std::min(text.size(), kMaxFilterText));
  std::vector<std::string> words;
  std::string current;
  bool inQuotes = false;
  const auto finish = [&] {
    if (!current.empty() && words.size() < max) {
      std::erase(current, '"');
      words.push_back(current);
    }
    current.clear();
  };
  for (char c : text) {
    if (c == '"') inQuotes = !inQuotes;
    if (c == ' ' && !inQuotes) {
      finish();
    } else {
      current += c;
    }
  }
  finish();
  return words;
}

std::vector<std::string> SplitAtSpaces(std::string_view text, std::size_t max) {
  text = text.substr(0, std::min(text.size(), kMaxFilterText));
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size() && words.size() < max) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace velnora
