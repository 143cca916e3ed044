// The activity list as a Qt model: the rows the core reported, in code page
// 932, converted only when a cell is shown. Sorting follows the core's rule.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "report/activity_view.h"
#include "ui/qt_reporter.h"

namespace velnora::ui {

class ActivityModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // One batch from the reporter.
  void Apply(const std::vector<ActivityChange>& changes);
  // A click on a header: that column's direction flips and the rows sort.
  void SortByColumn(int column);
  const ActivityRow& row(int i) const { return rows_[std::size_t(i)]; }

 private:
  std::vector<ActivityRow> rows_;
  ActivitySortState sort_;
};

}  // namespace velnora::ui
