// Options of content conversion that belong to the account being forwarded.
// The engine's per-account context owns one and passes it down.
#pragma once

namespace velnora {

struct ConvertOptions {
  // Half-width katakana leave as JIS X 0201 katakana (ESC "(" "I") instead
  // of as 8-bit bytes inside ISO-2022-JP text.
  bool encodeHalfwidthKana = false;
};

}  // namespace velnora
