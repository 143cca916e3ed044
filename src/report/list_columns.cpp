#include "report/list_columns.h"

#include <algorithm>

#include "platform/codepage.h"

namespace velnora {

const std::array<std::string, 6>& ActivityListTitles() {
  static const std::array<std::string, 6> titles = {
      SJIS(u8"サイズ(メール数)"), SJIS(u8"アカウント"), SJIS(u8"転送日時"),
      SJIS(u8"題名"),             SJIS(u8"差出人"),     SJIS(u8"宛先"),
  };
  return titles;
}

const std::array<std::string, 10>& AccountListTitles() {
  static const std::array<std::string, 10> titles = {
      std::string(),       SJIS(u8"アカウント"), SJIS(u8"受信"),     SJIS(u8"転送済"),
      SJIS(u8"非転送"),    SJIS(u8"MBOX"),       SJIS(u8"タイマー"), SJIS(u8"最終更新"),
      SJIS(u8"転送先"),    SJIS(u8"処理"),
  };
  return titles;
}

int16_t StoredColumnWidth(int width) {
  if (width <= 0) return 100;
  return static_cast<int16_t>(std::min(width, 32767));
}

}  // namespace velnora
