// "ログの情報": the fields of one activity-list line, read-only, with the two
// buttons that add its sender or its subject to the account's filter.
#pragma once

#include <QDialog>
#include <functional>

#include "config/filter_addition.h"
#include "report/reporter.h"

namespace velnora::ui {

class LogDetailsDialog : public QDialog {
  Q_OBJECT
 public:
  // `add` runs one of the two additions for this line.
  LogDetailsDialog(const ActivityRow& row, std::function<void(FilterList)> add, QWidget* parent = nullptr);
};

}  // namespace velnora::ui
