#include "engine/compose/compose_part_file.h"

#include <cstdio>

#include "engine/forward/temp_files.h"
#include "platform/files.h"

namespace velnora {

std::string PartPathIn(std::string_view folder, int partNumber) {
  std::string base(folder);
  if (!base.empty() && base.back() != '/') base += '/';
  return OutgoingPartPath(base, partNumber);
}

bool WritePartFile(const std::string& path, std::string_view text) {
  platform::ClearReadOnly(path);
  bool written = false;
  {
    platform::FilePtr file = platform::OpenFile(path, "wb");
    if (file) {
      written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
      written = std::fclose(file.release()) == 0 && written;
    }
  }
  if (!written) platform::RemoveFile(path);
  return written;
}

}  // namespace velnora
