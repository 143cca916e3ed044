// Shift_JIS text in the forms mail carries it, on growable strings: as
// ISO-2022-JP, as UTF-8, and back from ISO-2022-JP.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

struct ConvertOptions;

std::string SjisAsJis(std::string_view sjis, const ConvertOptions& options);

// The text unchanged when the conversion is not possible.
std::string SjisAsUtf8(std::string_view sjis);

std::string JisAsSjis(std::string_view jis);

// UTF-8 text in the local code page; unchanged when that is not possible.
std::string Utf8AsLocal(std::string_view utf8);

}  // namespace velnora
