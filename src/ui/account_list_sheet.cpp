#include "ui/account_list_sheet.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstring>

#include "ui/ui_text.h"

namespace velnora::ui {
namespace {

constexpr int kPerPage = 100;
constexpr int kRowsPerColumn = 25;

}  // namespace

QString AccountListSheet::BoxLabel(int index, const AccountSettings& account) {
  const std::string_view name(account.accountName, ::strnlen(account.accountName, sizeof account.accountName));
  const std::string_view user(account.popUser, ::strnlen(account.popUser, sizeof account.popUser));
  if (!name.empty()) return QStringLiteral("%1:").arg(index) + FromCp932(name);
  if (!user.empty()) return QStringLiteral("%1:(").arg(index) + FromCp932(user) + QLatin1Char(')');
  return QStringLiteral("%1:アカウント").arg(index);
}

AccountListSheet::AccountListSheet(SettingsImage& image, std::function<void(int)> openSettings, QWidget* parent)
    : QDialog(parent), image_(image), openSettings_(std::move(openSettings)) {
  setWindowTitle(QStringLiteral("アカウント切換"));
  auto* layout = new QVBoxLayout(this);
  auto* pages = new QTabWidget(this);
  for (int first = 0; first < kAccountCount; first += kPerPage) {
    auto* page = new QWidget(pages);
    auto* pageLayout = new QVBoxLayout(page);
    auto* hint = new QLabel(QStringLiteral("転送を有効にするアカウントにチェック　（右クリックで環境設定へ移動できます）"), page);
    hint->setTextFormat(Qt::PlainText);
    pageLayout->addWidget(hint);
    auto* grid = new QGridLayout();
    for (int i = first; i < first + kPerPage; ++i) {
      auto* box = new QCheckBox(page);
      box->setObjectName(QStringLiteral("account%1").arg(i));
      box->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(box, &QWidget::customContextMenuRequested, this,
              [this, i, box](const QPoint& at) { OfferSettings(i, box->mapToGlobal(at)); });
      grid->addWidget(box, (i - first) % kRowsPerColumn, (i - first) / kRowsPerColumn);
      boxes_[std::size_t(i)] = box;
    }
    pageLayout->addLayout(grid);
    pages->addTab(page, QStringLiteral("%1-%2").arg(first, 3, 10, QLatin1Char('0')).arg(first + kPerPage - 1, 3, 10,
                                                                                         QLatin1Char('0')));
  }
  layout->addWidget(pages);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  Reload(0, kAccountCount);
}

void AccountListSheet::Reload(int first, int count) {
  for (int i = first; i < first + count; ++i) {
    boxes_[std::size_t(i)]->setText(BoxLabel(i, image_.accounts[i]));
    boxes_[std::size_t(i)]->setChecked(image_.accounts[i].enabled != 0);
  }
}

void AccountListSheet::Store(int first, int count) {
  for (int i = first; i < first + count; ++i) image_.accounts[i].enabled = boxes_[std::size_t(i)]->isChecked() ? 1 : 0;
}

void AccountListSheet::OfferSettings(int account, const QPoint& at) {
  QMenu menu(this);
  QAction* open = menu.addAction(boxes_[std::size_t(account)]->text() + QStringLiteral(" の環境設定を開く"));
  open->setEnabled(static_cast<bool>(openSettings_));
  if (menu.exec(at) != open) return;
  const int first = account - account % kPerPage;
  Store(first, kPerPage);
  openSettings_(account);
  Reload(first, kPerPage);
}

}  // namespace velnora::ui
