#include "ui/settings_commands.h"

#include <QDir>

#include "config/account_csv.h"
#include "config/account_template.h"
#include "config/settings_backup.h"
#include "config/settings_file.h"
#include "config/settings_import.h"
#include "engine/context.h"
#include "platform/files.h"
#include "ui/account_list_sheet.h"
#include "ui/settings_session.h"
#include "ui/template_dialogs.h"
#include "ui/ui_text.h"
#include "ui/user_dialogs.h"

namespace velnora::ui {
namespace {

QString Path(const std::string& path) { return QString::fromStdString(path); }
std::string Path(const QString& path) { return path.toStdString(); }

const QString kBackupTitle = QStringLiteral("環境設定ファイルのバックアップ");
const QString kRestoreTitle = QStringLiteral("環境設定ファイルの適用（リストア）");
const QString kExportTitle = QStringLiteral("アカウント情報CSVの書き出し");
const QString kImportTitle = QStringLiteral("アカウント情報CSVの読み込み");
const QString kCsvNotOpened = QStringLiteral("エラー：CSVファイルが開けませんでした");

QString InvalidCsvText(const CsvImport& result) {
  return QStringLiteral("読み込んだCSVファイルの途中に無効なデータがあります。\n行番号 = %1  列番号 = %2\nセルの文字列= '%3'")
      .arg(result.line)
      .arg(result.column)
      .arg(FromCp932(result.cell));
}

}  // namespace

SettingsCommands::SettingsCommands(SettingsSession& session, UserDialogs& dialogs, DisplayArea screen)
    : session_(session), dialogs_(dialogs), screen_(screen) {}

Context& SettingsCommands::ctx() { return session_.context(); }

void SettingsCommands::SaveOrTell() {
  if (session_.Commit()) return;
  dialogs_.Tell(QStringLiteral("環境設定ファイルを保存できませんでした。\n%1").arg(Path(ctx().location.SettingsPath())),
                QStringLiteral("環境設定"), BoxIcon::Warning);
}

// The file on disk is what is copied, so the settings are saved first: a
// backup holds what the window shows.
void SettingsCommands::Backup() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  if (!dialogs_.AskYesNo(FromCp932(BackupQuestion()), kBackupTitle, BoxIcon::Warning)) return;
  const QString target = dialogs_.ChooseFileToSave({kBackupTitle, QStringLiteral("*.prf"), QStringLiteral("prf"),
                                                     QDir::homePath(), QString()});
  if (target.isEmpty()) return;
  SaveOrTell();
  if (!BackupSettings(ctx().location, Path(target))) {
    dialogs_.Tell(QString::fromLatin1(kBackupFailed), kBackupTitle, BoxIcon::Warning);
  }
}

void SettingsCommands::Restore() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  if (!dialogs_.AskYesNo(FromCp932(RestoreQuestion()), kRestoreTitle, BoxIcon::Warning)) return;
  const QString source = dialogs_.ChooseFileToOpen({QStringLiteral("環境設定ファイルの読み込み"), QStringLiteral("*.prf"),
                                                     QStringLiteral("prf"), QDir::homePath(), QString()});
  if (source.isEmpty()) return;
  const RestoreResult result = RestoreSettings(*ctx().settings, ctx().location, screen_, Path(source));
  if (!result.copied) {
    QString why = QString::fromLatin1(kRestoreFailed);
    if (result.sourceRefused) why += QLatin1Char('\n') + Path(SettingsFileProblem(Path(source), result.source));
    if (result.keepFailed) why += QStringLiteral("\nthe current settings file could not be kept");
    return dialogs_.Tell(why, kRestoreTitle, BoxIcon::Warning);
  }
  Q_EMIT session_.changed();
}

void SettingsCommands::ImportOlder() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  const std::optional<OldSettingsKind> kind = dialogs_.ChooseImportKind();
  if (!kind) return;
  const QString source = dialogs_.ChooseFileToOpen(
      {QStringLiteral("取り込む環境設定ファイルを指定して下さい"), QStringLiteral("*.prf"), QStringLiteral("prf"),
       Path(ctx().location.ForwardingFolder()), QString::fromLatin1(OldSettingsFileName(*kind))});
  if (source.isEmpty()) return;
  std::string where;
  const ImportResult result = ImportOldSettings(*ctx().settings, Path(source), *kind, &where);
  QString text = FromCp932(ImportMessage(result, *kind));
  if (!where.empty()) text += QStringLiteral("\n(") + FromCp932(where) + QLatin1Char(')');
  if (result == ImportResult::Imported) SaveOrTell();
  dialogs_.Tell(text, FromCp932(ImportMessageTitle(result)),
                result == ImportResult::Imported ? BoxIcon::Information : BoxIcon::Warning);
}

// The file holds passwords: it is written whole, for the owner only.
void SettingsCommands::ExportCsv() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  const QString target = dialogs_.ChooseFileToSave({QStringLiteral("アカウント情報CSVの書き出し "),
                                                     QStringLiteral("*.csv"), QStringLiteral("csv"), QDir::homePath(),
                                                     QString()});
  if (target.isEmpty()) return;
  platform::ReplaceFileWriter writer(Path(target), 0600);
  if (!writer.ok() || !writer.Write(ExportAccountsCsv(*ctx().settings)) || !writer.Commit()) {
    return dialogs_.Tell(kCsvNotOpened, kExportTitle, BoxIcon::Warning);
  }
  dialogs_.Tell(QStringLiteral("%1 個のアカウント情報を書き出しました").arg(kAccountCount), kExportTitle);
}

// The whole file is checked before any account changes: a bad cell leaves
// every account as it was.
void SettingsCommands::ImportCsv() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  if (!dialogs_.AskYesNo(QStringLiteral("【注意】\nアカウント情報を読み込みます。CSVファイルが間違っていると、\n予期せぬエラーを起こす"
                                        "ことがあります。\n詳細はヘルプファイルを参照下さい。\n読み込みを続けますか？"),
                         kImportTitle)) {
    return;
  }
  const QString source = dialogs_.ChooseFileToOpen(
      {kImportTitle, QStringLiteral("*.csv"), QStringLiteral("csv"), QDir::homePath(), QString()});
  if (source.isEmpty()) return;
  const std::string path = Path(source);
  if (platform::FileSize(path) <= 0) return dialogs_.Tell(QStringLiteral("Can't Open CSV File"), QStringLiteral("ERROR"));
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return dialogs_.Tell(kCsvNotOpened, kImportTitle, BoxIcon::Warning);

  CsvImport result = ImportAccountsCsv(text, *ctx().settings);
  if (result.outcome == CsvImport::Outcome::HeaderDiffers) {
    if (!dialogs_.AskYesNo(QStringLiteral("読み込みに指定したCSVの項目行（1行目）が書き出したものと違いますが、\n読み込みを続けますか？"),
                           kImportTitle)) {
      return dialogs_.Tell(QStringLiteral("アカウント情報のインポートはキャンセルされました"), kImportTitle);
    }
    result = ImportAccountsCsv(text, *ctx().settings, true);
  }
  const bool applied = result.outcome == CsvImport::Outcome::Imported;
  if (!applied) dialogs_.Tell(InvalidCsvText(result), QStringLiteral("CSVの読み込みエラー"), BoxIcon::Warning);
  dialogs_.Tell(QStringLiteral("%1 個のアカウント情報を読み込みました").arg(applied ? result.count : 0), kImportTitle);
  if (applied && result.count > 0) SaveOrTell();
}

void SettingsCommands::MarkAllForwarded() {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  if (!dialogs_.AskOkCancel(
          QStringLiteral("すべての有効アカウントのメールボックスにあるメールを「転送済み」にセットします。次回メールチェック時に、"
                         "新着メールから転送が行われます。\n\n初回起動時などで、メールボックスに残っている大量のメールを転送"
                         "したくない場合に使ってください。\n\n備考: アカウント個別にセットしたい場合は、設定ダイアログの"
                         "「アカウント」タブにある「全メールを転送済にする」オプションを使ってください。\n\n実行してもよろしい"
                         "ですか？"),
          QStringLiteral("全アカウントを転送済みにする"))) {
    return;
  }
  for (int i = 0; i < kAccountCount; ++i) {
    if (ctx().account(i).enabled) ctx().account(i).markAllForwardedNext = 1;
  }
  SaveOrTell();
  dialogs_.Tell(QStringLiteral("メールボックスにある全てのメールを「転送済み」にセットしました。"), QStringLiteral("確認"));
}

void SettingsCommands::AccountList(QWidget* parent, std::function<void(int)> openSettings) {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  AccountListSheet sheet(*ctx().settings, std::move(openSettings), parent);
  if (sheet.exec() != QDialog::Accepted) return;
  sheet.Store(0, kAccountCount);
  SaveOrTell();
}

void SettingsCommands::ApplyTemplate(QWidget* parent) {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  ApplyTemplateDialog dialog(templateFirst_, templateLast_, ctx().common().templateSkipAccountTab != 0, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  templateFirst_ = dialog.first();
  templateLast_ = dialog.last();
  const TemplateApplication how = dialog.application();
  ctx().common().templateSkipAccountTab = how.keepServerPage ? 1 : 0;
  for (int i = templateFirst_; i <= templateLast_; ++i) velnora::ApplyTemplate(*ctx().settings, i, how);
  SaveOrTell();
}

void SettingsCommands::CopyToTemplate(QWidget* parent) {
  const SettingsSession::Hold hold = session_.Begin();
  if (!hold) return dialogs_.Tell(SettingsSession::BusyText(), SettingsSession::BusyTitle());
  CopyToTemplateDialog dialog(copyAccount_, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  copyAccount_ = dialog.account();
  velnora::CopyToTemplate(*ctx().settings, copyAccount_);
  SaveOrTell();
}

}  // namespace velnora::ui
