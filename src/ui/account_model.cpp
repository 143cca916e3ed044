#include "ui/account_model.h"

#include "report/list_columns.h"
#include "ui/list_icons.h"
#include "ui/ui_text.h"

namespace velnora::ui {

int AccountModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int AccountModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 10; }

QVariant AccountModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const AccountListRow& row = rows_[std::size_t(index.row())];
  if (role == Qt::DisplayRole && index.column() > 0) return FromCp932(row.columns[std::size_t(index.column())]);
  if (role == Qt::DecorationRole && index.column() == 0) return AccountIcon(row.icon);
  return {};
}

QVariant AccountModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 10) return {};
  return FromCp932(AccountListTitles()[std::size_t(section)]);
}

void AccountModel::SetRows(std::vector<AccountListRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

}  // namespace velnora::ui
