// What the fuzz targets that drive the engine or the clients share: a
// reporter that keeps nothing, and a settings text setter.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "report/reporter.h"

namespace velnora::fuzz {

class QuietReporter : public Reporter {
 public:
  void ActivityAdded(const ActivityRow&) override {}
  void ActivityCleared() override {}
  void StatusChanged(std::string_view, int) override {}
  void AccountListChanged(int) override {}
  Answer Ask(std::string_view, std::string_view) override { return Answer::No; }
  void Tell(std::string_view, std::string_view) override {}
};

// Stores `text` in a fixed settings field, cut to fit, the rest cleared.
template <std::size_t N>
void SetText(char (&field)[N], std::string_view text) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

}  // namespace velnora::fuzz
