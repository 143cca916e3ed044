#include "convert/unicode_local.h"

#include <new>
#include <string>

#include "convert/pictographs.h"
#include "convert/text_buffer.h"
#include "platform/codepage_win.h"

namespace velnora {
namespace {

// Character-set code of text in a conversion code page.
CharsetCode CodeOfCodePage(unsigned codePage) {
  if (codePage == platform::kCodePageUtf8) return charset::kUtf8;
  if (codePage == platform::kCodePageIso2022Jp) return charset::kIso2022Jp;
  return CharsetOfSystemCodePage();
}

}  // namespace

CharsetCode ConvertUnicodeToLocal(std::span<char> text, CharsetCode code) {
  if (code != charset::kUtf8 && code != charset::kUtf7) return code;
  try {
    const std::size_t inputLength = ReplacePictographs(text);
    const unsigned source = code == charset::kUtf8 ? platform::kCodePageUtf8 : platform::kCodePageUtf7;
    const unsigned target = platform::GetOEMCP();
    auto wide = platform::MultiByteToWideChar(source, std::string_view(text.data(), inputLength));
    if (!wide) return charset::kUndetermined;
    auto local = platform::WideCharToMultiByte(target, *wide);
    if (!local) return charset::kUndetermined;
    // The caller's buffer holds no more than the input; a short input may
    // use the rest of the buffer.
    std::size_t room = text.empty() ? 0 : text.size() - 1;
    std::size_t limit = inputLength > 2 && inputLength < room ? inputLength : room;
    std::size_t length = CharacterBoundary(*local, limit, CodeOfCodePage(target));
    CopyText(std::string_view(*local).substr(0, length), text);
    return CharsetOfSystemCodePage();
  } catch (const std::bad_alloc&) {
    return charset::kUndetermined;
  }
}

bool ConvertLocalToUtf8(std::span<char> text, CharsetCode from, CharsetCode to) {
  if (text.empty()) return false;
  try {
    const unsigned source = CodePageOf(from);
    const unsigned target = CodePageOf(to);
    auto wide = platform::MultiByteToWideChar(source, TextOf(text));
    if (!wide) return false;
    auto converted = platform::WideCharToMultiByte(target, *wide);
    if (!converted) return false;
    std::size_t length = CharacterBoundary(*converted, text.size() - 1, CodeOfCodePage(target));
    CopyText(std::string_view(*converted).substr(0, length), text);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace velnora
