// The update check against a version-file server on loopback: what it
// announces, what it refuses, and that it stays within its bounds without
// holding up the window's event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTcpServer>
#include <QThread>
#include <functional>

#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "config/settings_image.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"
#include "support/test_paths.h"
#include "ui/desktop.h"
#include "ui/update_check.h"

namespace velnora::ui {
namespace {

// tests/support/update_server.py in a child process; ends with the object.
class UpdateServer {
 public:
  UpdateServer() {
    process_.start(QStringLiteral("/usr/bin/python3"),
                   {QString::fromStdString(testing::SourceDir() + "/tests/support/update_server.py")});
    if (process_.waitForReadyRead(20000)) port_ = process_.readLine().trimmed().mid(6).toInt();
  }
  ~UpdateServer() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(3000)) process_.kill();
  }
  QUrl Url(const char* path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(QLatin1String(path)));
  }

 private:
  QProcess process_;
  int port_ = 0;
};

// A loopback port where nothing listens.
QUrl ClosedPort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost);
  return QUrl(QStringLiteral("http://127.0.0.1:%1/newer").arg(server.serverPort()));
}

// Runs the event loop until `done` or 20 s; counts the ticks of a 10 ms timer meanwhile.
int RunUntil(const std::function<bool()>& done) {
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start(10);
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 20000) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return ticks;
}

const std::string kMessage = SJIS(u8"新しい版 5.21 が公開されました");

TEST(UpdateCheck, AnnouncesOnlyALaterVersionFromAWholeAnswer) {
  UpdateServer server;
  const struct {
    QUrl url;
    int deadlineMs;
    bool fetched;
    VersionVerdict verdict;
    std::string message;
  } cases[] = {
      {server.Url("/newer"), 10000, true, VersionVerdict::Newer, kMessage},
      {server.Url("/same"), 10000, true, VersionVerdict::NotNewer, ""},
      {server.Url("/older"), 10000, true, VersionVerdict::NotNewer, ""},
      {server.Url("/chunked"), 10000, true, VersionVerdict::Newer, kMessage},
      // 1 MB and then a pause of a minute: only the first 4 KiB are waited for.
      {server.Url("/big"), 5000, true, VersionVerdict::Newer, kMessage},
      {server.Url("/missing"), 10000, false, VersionVerdict::Unreadable, ""},
      {server.Url("/moved"), 10000, false, VersionVerdict::Unreadable, ""},
      // A byte a second would take over a minute: the deadline ends it.
      {server.Url("/drip"), 1500, false, VersionVerdict::Unreadable, ""},
      {ClosedPort(), 10000, false, VersionVerdict::Unreadable, ""},
      {QUrl(QStringLiteral("file:///etc/hostname")), 10000, false, VersionVerdict::Unreadable, ""},
  };
  for (const auto& c : cases) {
    const QString name = c.url.toString();
    UpdateCheck check({c.url, c.deadlineMs}, nullptr);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(check.Start()) << name.toStdString();
    const int ticks = RunUntil([&] { return check.done(); });
    ASSERT_TRUE(check.done()) << name.toStdString();
    EXPECT_LT(clock.elapsed(), c.deadlineMs + 3000) << name.toStdString();
    EXPECT_EQ(check.fetched(), c.fetched) << name.toStdString();
    EXPECT_EQ(check.file().verdict, c.verdict) << name.toStdString();
    EXPECT_EQ(check.file().message, c.message) << name.toStdString();
    // The window's timers kept running while the server dripped.
    if (c.deadlineMs < 2000) {
      EXPECT_GE(ticks, 10) << name.toStdString();
    }
  }
  UpdateCheck none({QUrl(), 10000}, nullptr);
  EXPECT_FALSE(none.Start());
}

TEST(UpdateCheck, StartUpShowsTheMessageOrWhereToLookInstead) {
  UpdateServer server;
  const std::vector<std::pair<std::string, int>> failed = {
      {SJIS(u8"最新版情報の取得ができませんでした。「ヘルプ」→「最新情報」で確認できます。"), 3},
      {SJIS(u8"起動に時間がかかる場合は、「共通設定」→「最新版情報/起動画像」をOFFにしてください。"), 3}};
  const struct {
    QUrl url;
    int16_t noUpdateInfo;
    std::vector<std::pair<std::string, int>> rows;  // text and category, in order
  } cases[] = {
      {server.Url("/newer"), 0, {{kMessage, 4}}},
      {server.Url("/same"), 0, {}},
      {server.Url("/missing"), 0, failed},
      {server.Url("/newer"), 1, {}},
      {QUrl(), 0, {}},  // built without an address
  };
  for (const auto& c : cases) {
    testing::TempFolder folder;
    testing::ScopedEnv config("XDG_CONFIG_HOME", folder.path());
    const SettingsLocation location = SettingsLocation::ForFolder(folder.path());
    auto settings = std::make_unique<SettingsImage>();
    MakeFreshTable(*settings, {});
    settings->common.noUpdateInfo = c.noUpdateInfo;
    ASSERT_EQ(SaveSettings(*settings, location), SaveResult::Saved);
    Desktop desktop(location, nullptr, nullptr, {c.url, 5000});
    ASSERT_EQ(desktop.Open(), Desktop::Start::Running);
    const int before = desktop.window()->activityModel().rowCount();
    EXPECT_EQ(desktop.updateCheck() == nullptr, c.noUpdateInfo == 1 || c.url.isEmpty());
    if (desktop.updateCheck()) RunUntil([&] { return desktop.updateCheck()->done(); });
    RunUntil([&] { return desktop.window()->activityModel().rowCount() >= before + int(c.rows.size()); });
    QCoreApplication::processEvents();
    ActivityModel& model = desktop.window()->activityModel();
    std::vector<std::pair<std::string, int>> rows;
    for (int i = 0; i < model.rowCount(); ++i) {
      const std::string& text = model.row(i).columns[3];
      if (text == kMessage || text == failed[0].first || text == failed[1].first) rows.emplace_back(text, model.row(i).code);
    }
    EXPECT_EQ(rows, c.rows) << c.url.toString().toStdString();
    desktop.Quit(Desktop::QuitSource::User);
  }
}

}  // namespace
}  // namespace velnora::ui
