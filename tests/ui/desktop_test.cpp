// The desktop program in this process: start-up, mail text shown as text,
// the quit path, and the refusal while another process forwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
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
  QElapsedTimer clock;
  clock.start();
  while (desktop.context()->worker.flags.passActive && clock.elapsed() < 10000) {
    QCoreApplication::processEvents();
    QThread::msleep(10);
  }
  QCoreApplication::processEvents();  // the end of the pass reaches the window

  std::vector<int> exitCodes;
  QObject::connect(&desktop, &Desktop::finished, [&](int code) { exitCodes.push_back(code); });
  window.action(Command::Quit)->trigger();
  EXPECT_EQ(exitCodes, std::vector<int>{0});
  EXPECT_FALSE(desktop.pollTimer().isActive());

  auto saved = std::make_unique<SettingsImage>();
  SettingsLocation location = SettingsLocation::ForFolder(folder.path());
  const LoadResult load = LoadSettings(*saved, location, DisplayArea{}, false);
  ASSERT_TRUE(load.fileFound && load.Usable());
  EXPECT_EQ(saved->common.viewMode, (mode + 1) % 4);
  EXPECT_EQ(saved->common.logColumnWidths[3], 333);
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
