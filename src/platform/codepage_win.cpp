#include "platform/codepage_win.h"

#include <bit>
#include <cerrno>
#include <cstring>

#include "platform/iconv_handle.h"

namespace velnora::platform {
namespace {

const char* IconvName(unsigned codePage) {
  switch (codePage) {
    case kCodePageShiftJis: return "CP932";
    case kCodePageIso2022Jp: return "ISO-2022-JP";
    case kCodePageUtf7: return "UTF-7";
    case kCodePageUtf8: return "UTF-8";
    default: return nullptr;
  }
}

constexpr const char* kUtf16Native = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Runs `cd` over `in`. On a sequence it cannot convert it returns the
// shift state to the initial one (so the substitute is not read as part of
// an escape-sequence mode), appends `substitute` and skips the bytes of one
// character: `unit` bytes, or two units for a UTF-16 surrogate pair.
std::string Run(IconvHandle& cd, std::string_view in, std::string_view substitute, size_t unit) {
  std::string out;
  out.reserve(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[8192];
  auto flush = [&] {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
  };
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    flush();
    out.append(substitute);
    size_t skip = unit;
    if (unit == 2 && srcLeft >= 4) {
      char16_t first;
      std::memcpy(&first, src, 2);
      if (first >= 0xD800 && first <= 0xDBFF) skip = 4;
    }
    if (skip > srcLeft) skip = srcLeft;
    src += skip;
    srcLeft -= skip;
  }
  flush();
  return out;
}

}  // namespace

unsigned GetOEMCP() { return kCodePageShiftJis; }

std::optional<std::u16string> MultiByteToWideChar(unsigned codePage, std::string_view bytes) {
  const char* name = IconvName(codePage);
  if (name == nullptr) return std::nullopt;
  IconvHandle cd(kUtf16Native, name);
  if (!cd.valid()) return std::nullopt;
  const char16_t replacement = u'\uFFFD';
  std::string raw = Run(cd, bytes, std::string_view(reinterpret_cast<const char*>(&replacement), 2), 1);
  std::u16string text(raw.size() / 2, u'\0');
  std::memcpy(text.data(), raw.data(), text.size() * 2);
  return text;
}

std::optional<std::string> WideCharToMultiByte(unsigned codePage, std::u16string_view text) {
  const char* name = IconvName(codePage);
  if (name == nullptr) return std::nullopt;
  IconvHandle cd(name, kUtf16Native);
  if (!cd.valid()) return std::nullopt;
  std::string_view raw(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  return Run(cd, raw, "?", 2);
}

std::optional<std::string> ConvertCodePage(unsigned from, unsigned to, std::string_view bytes) {
  const char* fromName = IconvName(from);
  const char* toName = IconvName(to);
  if (fromName == nullptr || toName == nullptr) return std::nullopt;
  IconvHandle cd(toName, fromName);
  if (!cd.valid()) return std::nullopt;
  return Run(cd, bytes, "?", 1);
}

}  // namespace velnora::platform
