// The log details dialog and its two additions to an account's filter.
#include "engine/context.h"
#include "platform/codepage.h"
#include "ui/log_details_dialog.h"
#include "ui/settings_commands.h"
#include "ui/settings_session.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {
namespace {

// The texts of one of the two lists.
struct FilterTexts {
  QString editTitle, editPrompt, captionSuffix, ask, already, tooLong, tooMany, added;
};

const FilterTexts& TextsOf(FilterList list) {
  static const FilterTexts from{
      QStringLiteral("差出人アドレスの編集"),
      QStringLiteral("差出人フィルタに加えるアドレスを編集して下さい。"),
      QStringLiteral(" : 差出人フィルタへ追加"),
      QStringLiteral("%1\n\n上の文字列を差出人（From:）フィルタへ追加します。よろしいですか？"),
      QStringLiteral("%1\n\n上の文字列は既に差出人（From:）フィルタに含まれています。"),
      QStringLiteral("（From:）フィルタには既に %1 文字設定されており、\nこれ以上追加できません。"),
      QStringLiteral("（From:）フィルタには既に %1 個のアドレスが設定されており、\nこれ以上追加できません。"),
      QStringLiteral("%1\n\n上の文字列を差出人（From:）フィルタへ追加しました。"),
  };
  static const FilterTexts subject{
      QStringLiteral("件名の編集"),
      QStringLiteral("件名フィルタに加える文字列を編集して下さい。"),
      QStringLiteral(" : 件名フィルタへ追加"),
      QStringLiteral("%1\n\n上の文字列を件名（Subject:）フィルタへ追加します。よろしいですか？"),
      QStringLiteral("%1\n\n上の文字列は既に件名（Subject:）フィルタに含まれています。"),
      QStringLiteral("（Subject:）フィルタには既に %1 文字設定されており、\nこれ以上追加できません。"),
      QStringLiteral("（Subject:）フィルタには既に %1 個のワードが設定されており、\nこれ以上追加できません。"),
      QStringLiteral("%1\n\n上の文字列を件名（Subject:）フィルタへ追加しました。"),
  };
  return list == FilterList::From ? from : subject;
}

}  // namespace

void SettingsCommands::LogDetails(QWidget* parent, const ActivityRow& row) {
  LogDetailsDialog dialog(row, [this, &row](FilterList list) { AddToFilter(row, list); }, parent);
  dialog.exec();
}

void SettingsCommands::AddToFilter(const ActivityRow& row, FilterList list) {
  const FilterTexts& texts = TextsOf(list);
  const std::string& source = row.columns[list == FilterList::From ? 4 : 3];
  if (source.empty() || source == "(Velnora System)") return;
  const std::string proposed = list == FilterList::From ? ExtractFromAddress("From: " + source) : source;
  const std::optional<QString> edited = dialogs_.EditText(texts.editTitle, texts.editPrompt, FromCp932(proposed));
  if (!edited || edited->isEmpty()) return;
  const QString caption = FromCp932(row.columns[1]) + texts.captionSuffix;
  std::string entry;
  if (!ToCp932(*edited, entry)) {
    return dialogs_.Tell(QStringLiteral("%1\n\nShift_JIS にない文字が含まれています。").arg(*edited), caption,
                         BoxIcon::Warning);
  }
  if (!dialogs_.AskOkCancel(texts.ask.arg(*edited), caption)) return;

  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  const int account = FindAccountByLabel(*ctx().settings, row.columns[1]);
  if (account < 0) {
    return dialogs_.Tell(QStringLiteral("アカウント名 %1 が見つかりません。").arg(FromCp932(row.columns[1])), caption);
  }
  const FilterAdditionResult result = velnora::AddToFilter(ctx().account(account), list, entry);
  switch (result.outcome) {
    case FilterAddition::Added:
      SaveOrTell();
      return dialogs_.Tell(texts.added.arg(*edited), caption);
    case FilterAddition::AlreadyThere: return dialogs_.Tell(texts.already.arg(*edited), caption);
    case FilterAddition::NotAnAddress:
      return dialogs_.Tell(QStringLiteral("%1\n\n上の文字列は有効なEmailアドレスではありません。").arg(*edited), caption,
                           BoxIcon::Warning);
    case FilterAddition::TooLong: return dialogs_.Tell(texts.tooLong.arg(result.current), caption);
    case FilterAddition::TooMany: return dialogs_.Tell(texts.tooMany.arg(result.current), caption);
  }
}

}  // namespace velnora::ui
