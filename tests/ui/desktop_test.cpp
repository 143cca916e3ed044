// The desktop program in this process: start-up, mail text shown as text,
// the quit path, and the refusal while another process forwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QInputDialog>
#include <QTimer>
#include <cstring>
#include <optional>
#include <QThread>
#include <QMessageBox>

#include "config/settings_file.h"
#include "config/settings_image.h"
#include "engine/context.h"
#include "platform/process_lock.h"
#include "support/temp_folder.h"
#include "ui/desktop.h"

namespace velnora::ui {
namespace {

using velnora::testing::ScopedEnv;
using velnora::testing::TempFolder;

// Each test has its own configuration folder, where the settings and the lock live.
struct Folder {
  TempFolder temp;
  ScopedEnv config{"XDG_CONFIG_HOME", temp.path()};
  const std::string& path() const { return temp.path(); }
};

TEST(Desktop, MailAndServerTextIsShownAsTextNeverAsMarkup) {
  Folder folder;
  Desktop desktop(SettingsLocation::ForFolder(folder.path()), nullptr);
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  MainWindow& window = *desktop.window();
  const std::string markup = "<img src=/dev/zero><b>x</b>";

  ActivityRow row;
  row.columns[3] = markup;
  desktop.context()->reporter.ActivityAdded(row);
  desktop.context()->reporter.StatusChanged(markup, 5);
  desktop.context()->reporter.Tell(markup, "<i>t</i>");
  QCoreApplication::processEvents();

  const QString literal = QString::fromLatin1(markup.c_str());
  const int last = window.activityModel().rowCount() - 1;
  EXPECT_EQ(window.activityModel().index(last, 3).data().toString(), literal);
  EXPECT_EQ(window.statusText().textFormat(), Qt::PlainText);
  EXPECT_EQ(window.statusText().text(), literal);
  const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0]->textFormat(), Qt::PlainText);
  EXPECT_EQ(boxes[0]->text(), literal);
  boxes[0]->close();
  desktop.Quit(Desktop::QuitSource::User);
}

TEST(Desktop, QuitStopsForwardingAndSavesWhatTheWindowChanged) {
  Folder folder;
  Desktop desktop(SettingsLocation::ForFolder(folder.path()), nullptr);
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  MainWindow& window = *desktop.window();
  const int16_t mode = desktop.context()->common().viewMode;
  window.action(Command::SwitchView)->trigger();
  window.activityView().horizontalHeader()->resizeSection(3, 333);
  window.action(Command::Connect)->trigger();  // no enabled account: the start pass refuses
  ASSERT_TRUE(desktop.pollTimer().isActive());
  // The start pass has run once it told its refusal; then it ends.
  QElapsedTimer clock;
  clock.start();
  while ((window.findChildren<QMessageBox*>().isEmpty() || desktop.context()->worker.flags.passActive) &&
         clock.elapsed() < 10000) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  QCoreApplication::processEvents();  // the end of the pass reaches the window

  std::vector<int> exitCodes;
  QObject::connect(&desktop, &Desktop::finished, [&](int code) { exitCodes.push_back(code); });
  window.action(Command::Quit)->trigger();
  // A pass that was still starting is wound down first, without blocking
  // the window: the quit may finish a few events later.
  clock.restart();
  while (exitCodes.empty() && clock.elapsed() < 10000) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  EXPECT_EQ(exitCodes, std::vector<int>{0});
  EXPECT_FALSE(desktop.pollTimer().isActive());

  auto saved = std::make_unique<SettingsImage>();
  SettingsLocation location = SettingsLocation::ForFolder(folder.path());
  const LoadResult load = LoadSettings(*saved, location, DisplayArea{}, false);
  ASSERT_TRUE(load.fileFound && load.Usable());
  EXPECT_EQ(saved->common.viewMode, (mode + 1) % 4);
  EXPECT_EQ(saved->common.logColumnWidths[3], 333);
}

TEST(Desktop, ViewModesSortingAndTheTrayFallback) {
  Folder folder;
  Desktop desktop(SettingsLocation::ForFolder(folder.path()), nullptr);
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  MainWindow& window = *desktop.window();
  desktop.context()->common().viewMode = 3;
  const struct {
    bool accounts, activity;
    Qt::Orientation orientation;
  } expected[] = {{true, true, Qt::Horizontal}, {false, true, Qt::Horizontal}, {true, false, Qt::Horizontal},
                  {true, true, Qt::Vertical}};
  for (int mode : {0, 1, 2, 3}) {
    window.action(Command::SwitchView)->trigger();
    ASSERT_EQ(desktop.context()->common().viewMode, mode);
    EXPECT_EQ(window.accountView().isVisibleTo(&window), expected[mode].accounts) << mode;
    EXPECT_EQ(window.activityView().isVisibleTo(&window), expected[mode].activity) << mode;
    EXPECT_EQ(window.panes().orientation(), expected[mode].orientation) << mode;
  }

  // A click on the size header sorts by the leading number, a second one reverses.
  QCoreApplication::processEvents();
  ActivityModel& model = window.activityModel();
  const int before = model.rowCount();
  for (const char* size : {"12(3)", "5(3)", "100(3)"}) {
    ActivityRow row;
    row.row = model.rowCount();
    row.columns[0] = size;
    desktop.context()->reporter.ActivityAdded(row);
  }
  QCoreApplication::processEvents();
  ASSERT_EQ(model.rowCount(), before + 3);
  auto sizes = [&] {
    QStringList texts;
    for (int i = 0; i < model.rowCount(); ++i) {
      const QString text = model.index(i, 0).data().toString();
      if (text.endsWith(QStringLiteral("(3)"))) texts << text;
    }
    return texts.join(QLatin1Char(' '));
  };
  Q_EMIT window.activityView().horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(sizes(), QStringLiteral("100(3) 12(3) 5(3)"));
  Q_EMIT window.activityView().horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(sizes(), QStringLiteral("5(3) 12(3) 100(3)"));

  // The offscreen desktop has no tray: the window is minimised, never lost.
  desktop.context()->worker.flags.connected = true;  // no question first
  window.action(Command::ToTray)->trigger();
  EXPECT_FALSE(window.inTray());
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
  EXPECT_TRUE(window.TrayToolTip().endsWith(QStringLiteral("待機中..\n0 個のアカウントが有効")));
  desktop.context()->worker.flags.connected = false;
  EXPECT_TRUE(window.TrayToolTip().endsWith(QStringLiteral("V5.20.00\nサーバー未接続（停止中）")));
  desktop.Quit(Desktop::QuitSource::User);
}

// Answers the modal dialogs as they open: the password prompt with the next
// of `typed` (nullopt: Cancel), a message box by recording its text.
class ModalAnswers {
 public:
  explicit ModalAnswers(std::vector<std::optional<QString>> typed) : typed_(std::move(typed)) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* prompt = qobject_cast<QInputDialog*>(modal)) {
        const std::optional<QString> next = next_ < typed_.size() ? typed_[next_++] : std::nullopt;
        if (next) {
          prompt->setTextValue(*next);
          prompt->accept();
        } else {
          prompt->reject();
        }
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        told.push_back(box->text());
        box->accept();
      }
    });
    timer_.start();
  }
  QStringList told;

 private:
  std::vector<std::optional<QString>> typed_;
  std::size_t next_ = 0;
  QTimer timer_;
};

TEST(Desktop, RestoringAsksThePasswordAgainAfterAWrongOneAndStaysHiddenOnCancel) {
  Folder folder;
  Desktop desktop(SettingsLocation::ForFolder(folder.path()), nullptr);
  ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
  MainWindow& window = *desktop.window();
  CommonSettings& common = desktop.context()->common();
  common.requirePassword = 1;
  std::strcpy(common.startupPassword, "pass");
  desktop.context()->worker.flags.connected = true;

  window.HideToTray();
  {
    ModalAnswers answers({QStringLiteral("wrong"), QStringLiteral("pass")});
    window.RestoreFromTray();
    EXPECT_EQ(answers.told, QStringList{QStringLiteral("パスワードが正しくありません")});
  }
  EXPECT_FALSE(window.windowState() & Qt::WindowMinimized);

  window.HideToTray();
  {
    ModalAnswers answers({std::nullopt});
    window.RestoreFromTray();
    EXPECT_TRUE(answers.told.isEmpty());
  }
  EXPECT_TRUE(window.windowState() & Qt::WindowMinimized);
  desktop.Quit(Desktop::QuitSource::User);
}

TEST(Desktop, RefusesToStartWhileAnotherProcessForwardsWithTheFolder) {
  Folder folder;
  const SettingsLocation location = SettingsLocation::ForFolder(folder.path());
  platform::ProcessLock forwarding;  // as velnora-cli run holds it
  ASSERT_EQ(forwarding.Acquire(location.ForwardingFolder()), platform::ProcessLock::Result::Acquired);
  Desktop desktop(location, nullptr);
  EXPECT_EQ(desktop.Open(), Desktop::Start::Refused);
  EXPECT_TRUE(desktop.refusal().contains(QString::fromStdString(location.ForwardingFolder())));
  EXPECT_EQ(desktop.window(), nullptr);
}

}  // namespace
}  // namespace velnora::ui
