// Drives the content-conversion codecs with arbitrary bytes. Every buffer is
// exactly as large as the operation is told, so the sanitizers see any read
// or write outside it; half of the inputs come without a terminator.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "convert/base64.h"
#include "convert/charset_detect.h"
#include "convert/device_chars.h"
#include "convert/header_clean.h"
#include "convert/header_text.h"
#include "convert/jis_convert.h"
#include "convert/pictographs.h"
#include "convert/quoted_printable.h"
#include "convert/unicode_local.h"
#include "convert/utf8_check.h"

namespace {

using namespace velnora;

// A heap copy of the data, terminated or not.
std::vector<char> Copy(std::string_view data, bool terminated) {
  std::vector<char> buffer(data.begin(), data.end());
  if (terminated) buffer.push_back('\0');
  return buffer;
}

template <typename Operation>
void InPlace(std::string_view data, bool terminated, Operation operation) {
  std::vector<char> buffer = Copy(data, terminated);
  operation(std::span<char>(buffer));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the destination sizes and the flags.
  const unsigned control = bytes[0];
  std::string_view data(reinterpret_cast<const char*>(bytes + 1), size - 1);
  const bool terminated = (control & 1) != 0;
  const bool flag = (control & 2) != 0;
  const std::size_t tight = data.size() + 1;
  const std::size_t small = (control >> 2) % 40;

  InPlace(data, terminated, [](std::span<char> t) { Base64DecodeText(t); });
  InPlace(data, terminated, [](std::span<char> t) { QuotedPrintableDecodeText(t); });
  InPlace(data, terminated, [](std::span<char> t) { ReplacePictographs(t); });
  InPlace(data, terminated, [](std::span<char> t) { BlankInvalidUtf8(t); });
  InPlace(data, terminated, [small](std::span<char> t) { LimitUtf8Length(t, small); });
  InPlace(data, terminated, [flag](std::span<char> t) { ConvertUnicodeToLocal(t, flag ? 12 : 13); });
  InPlace(data, terminated, [flag](std::span<char> t) { ConvertLocalToUtf8(t, 1, flag ? 2 : 13); });
  InPlace(data, terminated, [](std::span<char> t) {
    RemoveTabs(t);
    JoinAdjacentWords(t);
    CollapseSpaces(t);
  });
  InPlace(data, terminated, [](std::span<char> t) {
    for (std::size_t i = 0; i + 1 < t.size(); i += 2) ReplaceDeviceChar(std::span<char, 2>(t.data() + i, 2));
  });
  CharsetFromContentType(data);
  CharsetFromLabel(data);

  for (std::size_t destSize : {tight, small}) {
    std::vector<char> dest(destSize);
    JisToSjis(data, std::span<char>(dest));
    JisToSjisUnfolded(data, std::span<char>(dest));
    DecodeHeaderText(data, std::span<char>(dest), flag);
  }
  for (std::size_t destSize : {data.size() * 3 + 16, small}) {
    std::vector<char> dest(destSize);
    SjisToJis(data, std::span<char>(dest), ConvertOptions{flag});
    EncodeHeaderWord(data, std::span<char>(dest), static_cast<CharsetCode>(control % 72), ConvertOptions{flag});
  }
  {
    std::vector<char> dest(small);
    QEncodeText(data, std::span<char>(dest));
    WrapBase64Lines(data, std::span<char>(dest));
    std::size_t bound = small;
    Base64EncodeBounded(data.data(), static_cast<long>(data.size()), std::span<char>(dest), flag ? &bound : nullptr);
  }
  return 0;
}
