#include "ui/provider_dialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/program_files.h"
#include "ui/ui_text.h"

namespace velnora::ui {

ProviderDialog::ProviderDialog(const std::vector<ProviderPreset>& presets, std::string_view address, QWidget* parent)
    : QDialog(parent), presets_(presets) {
  setWindowTitle(QStringLiteral("プロバイダ選択"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QComboBox(this);
  list_->setObjectName(QStringLiteral("presets"));
  for (const ListedPreset& entry : ListedPresets(presets)) list_->addItem(FromCp932(entry.name), entry.preset);
  list_->setCurrentIndex(list_->findData(PreselectedPreset(presets, address)));
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("設定実行"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  QPushButton* page = buttons->addButton(QStringLiteral("プロバイダの参考ページヘ"), QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  // Only a web address is handed to the desktop; the dialog stays open.
  connect(page, &QPushButton::clicked, this, [this] {
    const int preset = chosen();
    if (preset < 0) return;
    const QUrl url(FromCp932(presets_[std::size_t(preset)].url));
    if (IsWebAddress(url)) QDesktopServices::openUrl(url);
  });
  layout->addWidget(buttons);
}

int ProviderDialog::chosen() const {
  return list_->currentIndex() < 0 ? -1 : list_->currentData().toInt();
}

std::vector<ProviderPreset> ProviderDialog::Installed() {
  const QString path = ProgramFilePath(QString::fromLatin1(kProviderPresetsFileName));
  return path.isEmpty() ? std::vector<ProviderPreset>() : LoadProviderPresets(path.toStdString());
}

}  // namespace velnora::ui
