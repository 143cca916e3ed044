#include "ui/all_accounts_menu.h"

#include <QAbstractButton>
#include <QMenu>

#include "config/word_list.h"

namespace velnora::ui {
namespace {

constexpr std::string_view kAllAccountsKeyword = "tr610415";

}  // namespace

bool AllAccountsMenuEnabled(const CommonSettings& common) {
  return FieldText(common.developerOptions, sizeof common.developerOptions).find(kAllAccountsKeyword) !=
         std::string_view::npos;
}

AllAccountsMenu::AllAccountsMenu(QAbstractButton& button, QString label, BoxSense sense, UserDialogs& dialogs,
                                 std::function<void(bool)> apply)
    : QObject(&button),
      button_(button),
      label_(std::move(label)),
      sense_(sense),
      dialogs_(dialogs),
      apply_(std::move(apply)),
      menu_(std::make_unique<QMenu>()) {
  checkAll_ = menu_->addAction(QStringLiteral("すべてのアカウントを「オン」にする"));
  uncheckAll_ = menu_->addAction(QStringLiteral("すべてのアカウントを「オフ」にする"));
  connect(checkAll_, &QAction::triggered, this, [this] { Choose(true); });
  connect(uncheckAll_, &QAction::triggered, this, [this] { Choose(false); });
  button_.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&button_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { menu_->popup(button_.mapToGlobal(at)); });
}

AllAccountsMenu::~AllAccountsMenu() = default;

void AllAccountsMenu::Choose(bool checked) {
  const QString state = checked ? QStringLiteral("オン") : QStringLiteral("オフ");
  const QString question =
      QStringLiteral("全てのアカウントのチェックボックス\n「 %1 」を\n「 %2 」に変更しますか？\n"
                     "この操作を行った後は、元に戻せません。")
          .arg(label_, state);
  if (!dialogs_.AskOkCancel(question, QStringLiteral("変更確認"))) return;
  apply_(checked == (sense_ == BoxSense::CheckedIsOne));
}

AllAccountsMenu* InstallAllAccountsMenu(QAbstractButton& button, const QString& label, BoxSense sense,
                                        UserDialogs& dialogs, std::function<void(bool)> apply) {
  return new AllAccountsMenu(button, label, sense, dialogs, std::move(apply));
}

}  // namespace velnora::ui
