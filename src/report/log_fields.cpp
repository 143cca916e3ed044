#include "report/log_fields.h"

#include <array>

#include "config/account_settings.h"
#include "platform/codepage.h"
#include "report/settings_text.h"
#include "report/visible_text.h"

namespace velnora {

const std::string& CategoryText(int code) {
  static const std::array<std::string, 24> texts = {
      SJIS(u8"全てそのまま転送済み"),
      SJIS(u8"その他条件で未転送"),
      SJIS(u8"添付ファイルを取って転送済み"),
      SJIS(u8"情報"),
      SJIS(u8"メールサーバー/Velnoraからの情報"),
      SJIS(u8"二重転送制限で未転送"),
      SJIS(u8"スパム制限で未転送"),
      SJIS(u8"携帯電話へ転送済み"),
      SJIS(u8"キャラクタセット制限で未転送"),
      SJIS(u8"Fromアドレス制限で未転送"),
      SJIS(u8"Toアドレス制限で未転送"),
      SJIS(u8"Ccアドレス制限で未転送"),
      SJIS(u8"Subject(件名)制限で未転送"),
      SJIS(u8"X-Mailer制限で未転送"),
      SJIS(u8"Date(タイムゾーン)制限で未転送"),
      SJIS(u8"メールサイズ制限で未転送"),
      SJIS(u8"該当転送条件なしで未転送"),
      SJIS(u8"スケジュール制限で未転送"),
      SJIS(u8"リモート非通知設定のため未通知"),
      SJIS(u8"リモート状況を通知済み"),
      SJIS(u8"エラーメッセージ"),
      SJIS(u8"SMTP 550エラー"),
      SJIS(u8"SMTP 552エラー"),
      SJIS(u8"スパム削除機能でメールを削除"),
  };
  static const std::string none;
  if (code < 0 || code >= static_cast<int>(texts.size())) return none;
  return texts[static_cast<size_t>(code)];
}

void SanitizeLogField(std::string& text) {
  // Byte-wise is safe in CP932: trail bytes are 0x40 and above, so they are
  // never TAB, LF, CR or ';' (0x3B).
  bool control = false;
  for (char& c : text) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    else if (c == ';') c = ',';
    else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) control = true;
  }
  // Server replies and mail text may hold ESC, BEL and the like: the file
  // keeps them visible rather than live for whoever views it.
  if (control) text = VisibleLocalText(text);
}

std::string SanitizedLogField(std::string_view text) {
  std::string out(text);
  SanitizeLogField(out);
  return out;
}

std::string MakeSyntheticMessageId(std::string_view dateLine, std::string_view subjectLine,
                                   std::string_view fromLine, size_t limit) {
  std::string id = "VNRID-";
  for (std::string_view piece : {dateLine, subjectLine, fromLine}) {
    if (id.size() + piece.size() + 1 < limit) id += piece;
  }
  SanitizeLogField(id);
  return id;
}

std::string MessageKey(std::string_view messageIdLine, std::string_view dateLine,
                       std::string_view subjectLine, std::string_view fromLine) {
  std::string_view line = messageIdLine.substr(0, kMaxMessageIdLine);
  if (line.size() > 13) return SanitizedLogField(line.substr(11));
  return MakeSyntheticMessageId(dateLine, subjectLine, fromLine, 250);
}

std::string AccountLabel(const AccountSettings& account) {
  std::string_view name = SettingsText(account.accountName);
  if (!name.empty()) return std::string(name);
  std::string label = "(";
  label += SettingsText(account.popUser);
  label += ')';
  return label;
}

}  // namespace velnora
