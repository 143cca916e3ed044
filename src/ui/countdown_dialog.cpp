#include "ui/countdown_dialog.h"

#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/ui_strings.h"

namespace velnora::ui {

CountdownDialog::CountdownDialog(int seconds, QWidget* parent)
    : QDialog(parent), remaining_(std::clamp(seconds, 1, 60)) {
  setWindowTitle(ProgramTitle());
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(ProgramTitle() + QStringLiteral(".00"), this));
  count_ = new QLabel(QString::number(remaining_), this);
  count_->setAlignment(Qt::AlignCenter);
  layout->addWidget(count_);
  auto* cancel = new QPushButton(QStringLiteral("自動接続を中止"), this);
  layout->addWidget(cancel);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, &CountdownDialog::Tick);
  connect(this, &QDialog::finished, &timer_, &QTimer::stop);
  timer_.start();
}

void CountdownDialog::Tick() {
  if (remaining_ <= 0) {
    accept();
    return;
  }
  --remaining_;
  count_->setText(QString::number(remaining_));
}

}  // namespace velnora::ui
