// What the activity list says first after start-up.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "engine/context.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/text_format.h"

namespace velnora {
namespace {

// The developer options' keywords and the behaviour each one switches on.
struct DeveloperKeyword {
  const char* keyword;
  const char8_t* behaviour;
};
constexpr DeveloperKeyword kDeveloperKeywords[] = {
    {"kq480317", u8"X-Mailer-Info: アカウント名 出力"},
    {"pw530928", u8"SMTPエラーコード書き出し"},
    {"tr610415", u8"ダイアログチェックボックス設定拡張"},
    {"bz720506", u8"MIME ENCODE 表示"},
    {"hv830124", u8"件名エンコード（for NOTESメール）"},
};

}  // namespace

void Context::AnnounceStartUp() {
  const CommonSettings& c = common();
  if (c.sessionLog) {
    const int64_t size = std::max<int64_t>(platform::FileSize(log->sessionLogPath()), 0);
    log->AddActivity(Sprintf(SJIS(u8"%s%s 通信ログ出力(デバッグ用)が有効になっています: %s : %d kbyte").c_str(),
                             SJIS(u8"Velnora 400アカウント版 V5.20").c_str(), ".00", "velnora_session.log",
                             int(size / 1024)),
                     Category::Information, nullptr);
  }
  if (capacityChangedTo) {
    log->AddActivity(Sprintf(SJIS(u8"メールの最大保持数が %d に変更されました。").c_str(), capacityChangedTo),
                     Category::Information, nullptr);
  }
  const std::string_view options(c.developerOptions, ::strnlen(c.developerOptions, sizeof c.developerOptions));
  for (const DeveloperKeyword& entry : kDeveloperKeywords) {
    if (options.find(entry.keyword) == std::string_view::npos) continue;
    log->AddActivity(Sprintf(SJIS(u8"(%s) 特別機能: %s").c_str(), entry.keyword, platform::Cp932FromUtf8Literal(entry.behaviour).c_str()),
                     Category::Information, nullptr);
  }
}

}  // namespace velnora
