#include "ui/activity_model.h"

#include "report/list_columns.h"
#include "ui/list_icons.h"
#include "ui/ui_text.h"

namespace velnora::ui {

int ActivityModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int ActivityModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 6; }

QVariant ActivityModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const ActivityRow& row = rows_[std::size_t(index.row())];
  if (role == Qt::DisplayRole) return FromCp932(row.columns[std::size_t(index.column())]);
  if (role == Qt::DecorationRole && index.column() == 0) return CategoryIcon(row.code);
  return {};
}

QVariant ActivityModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 6) return {};
  return FromCp932(ActivityListTitles()[std::size_t(section)]);
}

void ActivityModel::Apply(const std::vector<ActivityChange>& changes) {
  std::size_t at = 0;
  while (at < changes.size()) {
    if (changes[at].cleared) {
      beginResetModel();
      rows_.clear();
      endResetModel();
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < changes.size() && !changes[end].cleared) ++end;
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + (end - at) - 1));
    for (; at < end; ++at) rows_.push_back(changes[at].row);
    endInsertRows();
  }
}

void ActivityModel::SortByColumn(int column) {
  Q_EMIT layoutAboutToBeChanged();
  sort_.SortByColumn(rows_, column);
  Q_EMIT layoutChanged();
}

}  // namespace velnora::ui
