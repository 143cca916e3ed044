// What the sheet does besides storing: the help pages, the COPY buttons,
// the all-accounts menu and the notice of a new mailbox capacity.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QPushButton>
#include <algorithm>

#include "config/all_accounts.h"
#include "config/field_access.h"
#include "config/word_list.h"
#include "ui/all_accounts_menu.h"
#include "ui/program_files.h"
#include "ui/settings_sheet.h"
#include "ui/settings_sheet_choice.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {
namespace {

// What the COPY button takes from a list, and the most it copies.
constexpr std::size_t kFilterCopyInput = 4096;
constexpr std::size_t kFilterCopyOutput = 8192;

}  // namespace

QWidget* SettingsSheet::HelpButton(SettingsPage page) {
  auto* help = new QPushButton(QStringLiteral("Help"));
  help->setObjectName(QStringLiteral("help"));
  const QString name = HelpPageOf(page);
  help->setProperty("helpPage", name);
  connect(help, &QPushButton::clicked, this, [this, name] {
    if (!OpenProgramFile(name)) {
      dialogs_.Tell(QStringLiteral("ファイルを開けませんでした。\n%1").arg(name), Title(), BoxIcon::Warning);
    }
  });
  return help;
}

// One entry per line, for editing in a text editor and pasting back.
void SettingsSheet::CopyToClipboard(const SheetField& list) {
  std::string cp932;
  list.Value(cp932);
  if (cp932.size() > kFilterCopyInput) cp932.resize(kFilterCopyInput);
  if (NormalizeWordList(cp932, cp932.size() + 1).empty()) return;
  const QString lines = FromCp932(WordListLines(cp932, kFilterCopyOutput));
  QApplication::clipboard()->setText(lines);
  const QStringList first = lines.split(QStringLiteral("\r\n")).mid(0, 5);
  dialogs_.Tell(QStringLiteral("フィルタ文字を「改行」で区切って、クリップボードにコピーしました。\n"
                               "テキストエディタで編集後、ペーストしてください。"
                               "\r\n\r\n----(CLIPBOARD)----\r\n") +
                    first.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n  :\r\n"),
                QStringLiteral("確認"));
}

// The boxes that can be set for every account at once (the template is
// not an account; its sheet does not offer it).
void SettingsSheet::OfferAllAccounts() {
  if (account_ == kTemplateIndex || !AllAccountsMenuEnabled(working_->common)) return;
  for (const Placed& placed : fields_) {
    const FieldInfo& field = placed.field->info();
    auto* button = qobject_cast<QAbstractButton*>(placed.field->widget());
    if (!button || !OffersAllAccounts(field.name)) continue;
    const auto apply = [this, &field](bool value) { SetAllAccounts(field, value); };
    InstallAllAccountsMenu(*button, button->text(), SenseOf(field), dialogs_, apply);
    const auto row = choices_.find(ChoiceGroupOf(field.name));
    if (row == choices_.end()) continue;
    // The other button of a pair (TEXT beside HTML) checked means the flag off.
    QAbstractButton* neutral = row->second.group->buttons().front();
    InstallAllAccountsMenu(*neutral, neutral->text(), BoxSense::CheckedIsZero, dialogs_, apply);
  }
}

// Done at once and saved: the question said it cannot be undone. The fields
// it changed in this account are shown anew and count as unchanged.
void SettingsSheet::SetAllAccounts(const FieldInfo& field, bool value) {
  SetForAllAccounts(settings_, field, value);
  for (const Placed& placed : fields_) {
    const FieldInfo& info = placed.field->info();
    if (info.record == SettingsRecord::Common) continue;
    const auto live = (info.record == SettingsRecord::Account ? RecordBytes(settings_.accounts[account_])
                                                              : RecordBytes(settings_.extras[account_]))
                          .subspan(info.offset, info.size);
    const auto mine = working_->Bytes(info.record).subspan(info.offset, info.size);
    if (std::equal(live.begin(), live.end(), mine.begin())) continue;
    std::copy(live.begin(), live.end(), mine.begin());
    placed.field->Show(working_->Bytes(info.record));
    placed.field->MarkLoaded();
  }
  if (saveNow_ && !saveNow_()) {
    dialogs_.Tell(QStringLiteral("環境設定ファイルを保存できませんでした。"), Title(), BoxIcon::Warning);
  }
}

// The mailbox capacity is fixed while the program runs.
void SettingsSheet::TellIfCapacityChanged(const CommonSettings& stored) {
  const int now = stored.maxHeldMails;
  const int next = stored.maxHeldMailsNext;
  if (now == next) return;
  dialogs_.Tell(QStringLiteral("メールの最大保持数が %1 から %2 に変更されました。\n"
                               "変更を有効にするには、Velnoraを終了して、再起動する必要があります。")
                    .arg(now)
                    .arg(next),
                QStringLiteral("アプリケーションを再起動"));
}
}  // namespace velnora::ui
