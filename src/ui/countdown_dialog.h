// The start-up countdown before the automatic first connection: the seconds
// count down once a second; the dialog is accepted after the tick that finds
// the count already at zero, or rejected by "自動接続を中止".
#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>

namespace velnora::ui {

class CountdownDialog : public QDialog {
  Q_OBJECT
 public:
  // `seconds` is autoConnectDelaySec; it is held to 1..60.
  CountdownDialog(int seconds, QWidget* parent = nullptr);

  void Tick();
  int remaining() const { return remaining_; }

 private:
  int remaining_;
  QLabel* count_;
  QTimer timer_;
};

}  // namespace velnora::ui
