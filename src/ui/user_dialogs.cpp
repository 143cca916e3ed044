#include "ui/user_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velnora::ui {
namespace {

int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& title,
           QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, text, buttons, parent);
  box.setTextFormat(Qt::PlainText);
  return box.exec();
}

QString ChooseFile(QWidget* parent, const FileChoice& choice, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, choice.title, choice.folder,
                     choice.title + QStringLiteral(" (") + choice.pattern + QLatin1Char(')'));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(choice.suffix);
  if (!choice.name.isEmpty()) dialog.selectFile(choice.name);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

bool WidgetDialogs::AskYesNo(const QString& text, const QString& title, BoxIcon icon) {
  const auto kind = icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::Question;
  return RunBox(parent_, kind, text, title, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool WidgetDialogs::AskOkCancel(const QString& text, const QString& title) {
  return RunBox(parent_, QMessageBox::Question, text, title, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void WidgetDialogs::Tell(const QString& text, const QString& title, BoxIcon icon) {
  RunBox(parent_, icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::Information, text, title,
         QMessageBox::Ok);
}

QString WidgetDialogs::ChooseFileToSave(const FileChoice& choice) {
  return ChooseFile(parent_, choice, QFileDialog::AcceptSave);
}

QString WidgetDialogs::ChooseFileToOpen(const FileChoice& choice) {
  return ChooseFile(parent_, choice, QFileDialog::AcceptOpen);
}

std::optional<OldSettingsKind> WidgetDialogs::ChooseImportKind() {
  QDialog dialog(parent_);
  dialog.setWindowTitle(QStringLiteral("環境設定ファイルの引き継ぎ"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* previous = new QRadioButton(QStringLiteral("400アカウント版 Ver.3の環境設定を取り込む"), &dialog);
  auto* edition100 = new QRadioButton(QStringLiteral("100アカウント版 Ver.4/Ver.5の環境設定を取り込む"), &dialog);
  previous->setChecked(true);
  layout->addWidget(previous);
  layout->addWidget(edition100);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return previous->isChecked() ? OldSettingsKind::PreviousGeneration400 : OldSettingsKind::Edition100;
}

namespace {

// An edit box for one line that refuses double quotes: they would open a
// quoted entry in the filter list the text goes into.
class EditTextDialog : public QDialog {
 public:
  EditTextDialog(const QString& title, const QString& prompt, const QString& text, QWidget* parent)
      : QDialog(parent) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    edit_ = new QLineEdit(text, this);
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
  }
  QString text() const { return edit_->text(); }
  void accept() override {
    if (edit_->text().contains(QLatin1Char('"'))) {
      RunBox(this, QMessageBox::Warning, QStringLiteral("文字列に「\"」（ダブルクォーテーション）を含めることはできません"),
             QStringLiteral("使用できない文字"), QMessageBox::Ok);
      return;
    }
    QDialog::accept();
  }

 private:
  QLineEdit* edit_;
};

}  // namespace

std::optional<QString> WidgetDialogs::EditText(const QString& title, const QString& prompt, const QString& text) {
  EditTextDialog dialog(title, prompt, text, parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.text();
}

}  // namespace velnora::ui
