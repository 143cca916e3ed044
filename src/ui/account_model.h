// The account list as a Qt model over the rows the core builds.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "report/account_list.h"

namespace velnora::ui {

class AccountModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetRows(std::vector<AccountListRow> rows);

 private:
  std::vector<AccountListRow> rows_;
};

}  // namespace velnora::ui
