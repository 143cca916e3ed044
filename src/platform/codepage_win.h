// The national-language conversions the mail code is written against, as on
// a Japanese Windows system: code page numbers in, UTF-16 in between.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velnora::platform {

inline constexpr unsigned kCodePageShiftJis = 932;
inline constexpr unsigned kCodePageIso2022Jp = 50220;
inline constexpr unsigned kCodePageUtf7 = 65000;
inline constexpr unsigned kCodePageUtf8 = 65001;

// The OEM code page. Velnora always behaves as on a Japanese system.
unsigned GetOEMCP();

// Bytes in `codePage` -> UTF-16. Malformed input becomes U+FFFD, as the
// Windows call does without MB_ERR_INVALID_CHARS. nullopt for a code page
// this system cannot convert.
std::optional<std::u16string> MultiByteToWideChar(unsigned codePage, std::string_view bytes);

// UTF-16 -> bytes in `codePage`. A character without a form there becomes
// the default character "?". nullopt for a code page this system cannot
// convert.
std::optional<std::string> WideCharToMultiByte(unsigned codePage, std::u16string_view text);

// Bytes in `from` -> bytes in `to` in one step, with the substitutions of
// the two calls above. For whole bodies and for measuring the arithmetic
// conversions against the system's converters.
std::optional<std::string> ConvertCodePage(unsigned from, unsigned to, std::string_view bytes);

}  // namespace velnora::platform
