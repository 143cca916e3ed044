// An iconv conversion descriptor owned for the length of one conversion.
#pragma once

#include <iconv.h>

namespace velnora::platform {

// glibc unloads a converter module when its last descriptor closes, so two
// conversions in turn (CP932 <-> UTF-16 <-> ISO-2022-JP) would load their
// modules anew every time, near a millisecond each. One descriptor per
// module the program uses stays open for the life of the process.
void KeepConvertersLoaded();

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) {
    KeepConvertersLoaded();
    cd_ = iconv_open(to, from);
  }
  ~IconvHandle() {
    if (valid()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace velnora::platform
