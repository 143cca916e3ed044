// The right-click menu of a check box on the Part Processing and Advanced
// Options pages that sets the box's field for every account at once, offered
// only when the developer options name "tr610415". Usage in a page:
//   if (AllAccountsMenuEnabled(common) && OffersAllAccounts(field.name))
//     InstallAllAccountsMenu(*box, FieldLabel(field.name), SenseOf(field), dialogs,
//                            [&](bool value) { SetForAllAccounts(image, field, value); /* save, reload */ });
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "config/common_settings.h"
#include "config/field_table.h"
#include "ui/user_dialogs.h"

class QAbstractButton;
class QAction;
class QMenu;

namespace velnora::ui {

// What a checked button stores in its field: 1, or 0 for a flag stored
// inverted and for the "TEXT" button of the HTML/TEXT pair.
enum class BoxSense { CheckedIsOne, CheckedIsZero };

inline BoxSense SenseOf(const FieldInfo& field) {
  return field.Has(kInverted) ? BoxSense::CheckedIsZero : BoxSense::CheckedIsOne;
}

// Whether the developer options switch the menu on.
bool AllAccountsMenuEnabled(const CommonSettings& common);

class AllAccountsMenu : public QObject {
  Q_OBJECT
 public:
  // `apply` gets the value the field takes in every account.
  AllAccountsMenu(QAbstractButton& button, QString label, BoxSense sense, UserDialogs& dialogs,
                  std::function<void(bool fieldValue)> apply);
  ~AllAccountsMenu() override;

  QMenu& menu() { return *menu_; }
  QAction& checkAll() { return *checkAll_; }
  QAction& uncheckAll() { return *uncheckAll_; }

  // A choice from the menu: asks the user and, on OK, applies the field
  // value that a checked (or unchecked) button stands for.
  void Choose(bool checked);

 private:
  QAbstractButton& button_;
  QString label_;
  BoxSense sense_;
  UserDialogs& dialogs_;
  std::function<void(bool)> apply_;
  std::unique_ptr<QMenu> menu_;
  QAction* checkAll_;
  QAction* uncheckAll_;
};

// Gives `button` the menu on a right click; the menu lives as long as the button.
AllAccountsMenu* InstallAllAccountsMenu(QAbstractButton& button, const QString& label, BoxSense sense,
                                        UserDialogs& dialogs, std::function<void(bool fieldValue)> apply);

}  // namespace velnora::ui
