// printf-style formatting into a std::string. Velnora's message texts are
// code page 932 format strings; CP932 trail bytes never take the value of
// '%', so the C formatter handles them unchanged.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace velnora {

[[gnu::format(printf, 1, 2)]] inline std::string Sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (length > 0) {
    out.resize(static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<size_t>(length));
  }
  va_end(args);
  return out;
}

}  // namespace velnora
