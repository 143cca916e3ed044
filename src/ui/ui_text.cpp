#include "ui/ui_text.h"

#include "platform/codepage.h"

namespace velnora::ui {

QString FromCp932(std::string_view cp932) {
  const std::string utf8 = platform::Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace velnora::ui
