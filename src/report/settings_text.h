// Reads a text field of a settings record: a fixed NUL-terminated buffer is
// read only up to its size, so a record without its terminator stays bounded.
#pragma once

#include <cstring>
#include <string_view>
#include <type_traits>

namespace velnora {

template <class T>
std::string_view SettingsText(const T& field) {
  if constexpr (std::is_array_v<T>) {
    return std::string_view(field, strnlen(field, std::extent_v<T>));
  } else {
    return std::string_view(field);
  }
}

}  // namespace velnora
