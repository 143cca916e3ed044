#include "platform/iconv_handle.h"

#include <array>

namespace velnora::platform {

void KeepConvertersLoaded() {
  // Opened once, never used for converting and never closed; kept in a
  // static so that they stay reachable.
  static const std::array<iconv_t, 4> kept = {
      iconv_open("UTF-16LE", "CP932"),
      iconv_open("UTF-16LE", "ISO-2022-JP"),
      iconv_open("UTF-16LE", "UTF-7"),
      iconv_open("UTF-16LE", "UTF-8"),
  };
  (void)kept;
}

}  // namespace velnora::platform
