#include "ui/template_dialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/settings_image.h"
#include "ui/program_files.h"

namespace velnora::ui {
namespace {

QSpinBox* AccountNumberBox(int value, QWidget* parent, const char* name) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(0, kAccountCount - 1);
  box->setValue(std::clamp(value, 0, kAccountCount - 1));
  return box;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

ApplyTemplateDialog::ApplyTemplateDialog(int first, int last, bool keepServerPage, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("設定テンプレートをアカウントに適用"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  first_ = AccountNumberBox(first, this, "first");
  last_ = AccountNumberBox(last, this, "last");
  form->addRow(QStringLiteral("から"), first_);
  form->addRow(QStringLiteral("まで"), last_);
  layout->addLayout(form);
  keepServer_ = new QCheckBox(QStringLiteral("「アカウント」タブの設定はコピーしない"), this);
  keepServer_->setObjectName(QStringLiteral("templateSkipAccountTab"));
  keepServer_->setChecked(keepServerPage);
  security_ = new QCheckBox(QStringLiteral("証明書を検証しない設定（tlsNoVerify）もコピーする"), this);
  security_->setObjectName(QStringLiteral("includeSecuritySwitches"));
  layout->addWidget(keepServer_);
  layout->addWidget(security_);
  QDialogButtonBox* buttons = OkCancel(this);
  buttons->addButton(QDialogButtonBox::Help)->setObjectName(QStringLiteral("help"));
  connect(buttons, &QDialogButtonBox::helpRequested, this, [] {
    if (!OpenProgramFile(QStringLiteral("help/help_08.html"))) QApplication::beep();
  });
  layout->addWidget(buttons);
}

TemplateApplication ApplyTemplateDialog::application() const {
  return {.keepServerPage = keepServer_->isChecked(), .includeSecuritySwitches = security_->isChecked()};
}

void ApplyTemplateDialog::accept() {
  if (last() < first()) {
    QApplication::beep();
    return;
  }
  QDialog::accept();
}

CopyToTemplateDialog::CopyToTemplateDialog(int account, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("アカウント設定をテンプレートへコピー"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  account_ = AccountNumberBox(account, this, "account");
  form->addRow(QStringLiteral("テンプレートへコピーするアカウント番号"), account_);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

}  // namespace velnora::ui
