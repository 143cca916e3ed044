#include "platform/codepage.h"

#include "platform/iconv_handle.h"

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace velnora::platform {
namespace {

// Converts `in`; on an invalid or unconvertible sequence either fails or
// substitutes `replacement` and skips `skip` input bytes.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out,
             std::string_view replacement, bool substitute) {
  IconvHandle cd(to, from);
  if (!cd.valid()) return false;
  out.clear();
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  bool ok = true;
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    ok = false;
    if (!substitute) return false;
    out.append(replacement);
    ++src;
    --srcLeft;
  }
  char* dst = buffer;
  size_t dstLeft = sizeof buffer;
  iconv(cd.get(), nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return ok;
}

}  // namespace

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
  return Convert("CP932", "UTF-8", utf8, out, {}, false);
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  Convert("UTF-8", "CP932", cp932, out, "\xEF\xBF\xBD", true);
  return out;
}

std::string Cp932FromUtf8Literal(std::u8string_view utf8) {
  std::string out;
  std::string_view bytes(reinterpret_cast<const char*>(utf8.data()), utf8.size());
  if (!Utf8ToCp932(bytes, out)) {
    std::fprintf(stderr, "velnora: literal has no CP932 form: %.*s\n",
                 static_cast<int>(bytes.size()), bytes.data());
    assert(false && "literal without CP932 form");
  }
  return out;
}

}  // namespace velnora::platform
