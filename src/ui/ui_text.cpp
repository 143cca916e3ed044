#include "ui/ui_text.h"

#include "platform/codepage.h"

namespace velnora::ui {

QString FromCp932(std::string_view cp932) {
  const std::string utf8 = platform::Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

bool ToCp932(const QString& text, std::string& cp932) {
  const QByteArray utf8 = text.toUtf8();
  cp932.clear();
  return platform::Utf8ToCp932(std::string_view(utf8.constData(), std::size_t(utf8.size())), cp932);
}

}  // namespace velnora::ui
