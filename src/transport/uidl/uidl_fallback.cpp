#include "transport/uidl/uidl_fallback.h"

#include <cstdio>

#include "platform/files.h"
#include "transport/md5.h"

namespace velnora {

std::string ContentKeyOfReceivedFile(const std::string& path) {
  platform::FilePtr file = platform::OpenFile(path, "rb");
  if (!file) return {};
  Md5Context md5;
  Md5Init(md5);
  bool statusLine = true;
  char chunk[65536];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    std::string_view bytes(chunk, n);
    if (statusLine) {
      const std::size_t end = bytes.find('\n');
      if (end == std::string_view::npos) continue;
      bytes.remove_prefix(end + 1);
      statusLine = false;
    }
    Md5Update(md5, bytes.data(), bytes.size());
  }
  if (std::ferror(file.get())) return {};
  uint8_t digest[kMd5DigestSize];
  Md5Final(digest, md5);
  std::string key = " md5:";
  static constexpr char kHex[] = "0123456789abcdef";
  for (uint8_t b : digest) {
    key += kHex[b >> 4];
    key += kHex[b & 15];
  }
  return key;
}

ContentKeyMatcher::ContentKeyMatcher(const std::function<std::string_view(int)>& stored,
                                     int storedCount) {
  for (int p = 0; p < storedCount; ++p) {
    const std::string_view uidl = stored(p);
    if (IsContentKey(uidl)) ++unmatched_[std::string(uidl)];
  }
}

bool ContentKeyMatcher::TakeKnown(const std::string& key) {
  const auto found = unmatched_.find(key);
  if (found == unmatched_.end() || found->second == 0) return false;
  --found->second;
  return true;
}

std::string ContentKeyMatcher::TakeAny() {
  for (auto& [key, count] : unmatched_) {
    if (count == 0) continue;
    --count;
    return key;
  }
  return {};
}

}  // namespace velnora
