// Reading the fixed NUL-terminated text fields of the settings records
// without ever running past their end.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace velnora {

template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return std::string_view(field, ::strnlen(field, N));
}

}  // namespace velnora
