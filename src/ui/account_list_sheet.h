// "アカウント切換": one check box per account, on four pages of a hundred,
// that switches accounts on and off. The boxes are stored by the caller on OK.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <array>
#include <functional>

#include "config/settings_image.h"

namespace velnora::ui {

class AccountListSheet : public QDialog {
  Q_OBJECT
 public:
  // `openSettings`, when given, is offered on a right click: it opens the
  // settings sheet on that account after the page's boxes were stored.
  AccountListSheet(SettingsImage& image, std::function<void(int)> openSettings, QWidget* parent = nullptr);

  QCheckBox& box(int account) { return *boxes_[std::size_t(account)]; }
  // The boxes of accounts [first, first + count) into their `enabled`.
  void Store(int first, int count);
  // The label of account `index`'s box.
  static QString BoxLabel(int index, const AccountSettings& account);

 private:
  void Reload(int first, int count);
  void OfferSettings(int account, const QPoint& at);

  SettingsImage& image_;
  std::function<void(int)> openSettings_;
  std::array<QCheckBox*, kAccountCount> boxes_{};
};

}  // namespace velnora::ui
