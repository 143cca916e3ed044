// The velnora program itself, started as a process: one per settings folder,
// a second one hands over and ends, a killed one leaves nothing in the way,
// velnora-cli run refuses while it runs, and SIGTERM takes the quit path.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "config/settings_location.h"
#include "platform/process_lock.h"
#include "support/fake_server.h"
#include "support/temp_folder.h"
#include "support/test_paths.h"
#include "ui/single_instance.h"

namespace velnora::ui {
namespace {

using velnora::testing::TempFolder;

// One settings folder with its own user folders, and the programs started on it.
class Programs {
 public:
  Programs() {
    for (const char* name : {"config", "cache", "run"}) {
      std::filesystem::create_directory(folder_.File(name));
      std::filesystem::permissions(folder_.File(name), std::filesystem::perms::owner_all);
    }
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(folder_.File("config")));
    env_.insert(QStringLiteral("XDG_CACHE_HOME"), QString::fromStdString(folder_.File("cache")));
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), QString::fromStdString(folder_.File("run")));
  }

  std::unique_ptr<QProcess> Start(const std::string& program, QStringList args) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env_);
    process->start(QString::fromStdString(program),
                   QStringList{QStringLiteral("--dir"), QString::fromStdString(folder_.path())} + args);
    process->waitForStarted(10000);
    return process;
  }
  // The settings folder a run uses: the configuration folder, as no file is in the current one.
  std::string SettingsFolder() const { return folder_.File("config") + "/velnora"; }
  QString ServerName() const { return SingleInstance::ServerName(SettingsFolder()); }

  // Waits until a program serves the folder's socket.
  bool WaitServed() const {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
      if (SingleInstance::AskToRaise(ServerName(), 500)) return true;
      QThread::msleep(100);
    }
    return false;
  }

 private:
  TempFolder folder_;
  QProcessEnvironment env_;
};

std::string Stderr(QProcess& process) { return process.readAllStandardError().toStdString(); }

// velnora-cli on the same folder; its exit code.
int Cli(Programs& programs, QStringList args) {
  auto cli = programs.Start(velnora::testing::CliPath(), args);
  return cli->waitForFinished(15000) && cli->exitStatus() == QProcess::NormalExit ? cli->exitCode() : -1;
}

TEST(SingleInstance, SecondWindowHandsOverAndEndsAndAKilledOneLeavesNoStaleSocket) {
  Programs programs;
  auto first = programs.Start(VELNORA_GUI_PATH, {});
  ASSERT_TRUE(programs.WaitServed()) << Stderr(*first);

  auto second = programs.Start(VELNORA_GUI_PATH, {});
  ASSERT_TRUE(second->waitForFinished(15000));
  EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second->exitCode(), 0) << Stderr(*second);
  EXPECT_EQ(first->state(), QProcess::Running);

  first->kill();  // SIGKILL: the socket file stays behind
  ASSERT_TRUE(first->waitForFinished(10000));
  auto third = programs.Start(VELNORA_GUI_PATH, {});
  ASSERT_TRUE(programs.WaitServed()) << Stderr(*third);
  EXPECT_EQ(third->state(), QProcess::Running);
  third->kill();
  third->waitForFinished(10000);
}

TEST(SingleInstance, ConsoleForwardingIsRefusedWhileTheWindowRunsAndSigtermQuitsSaving) {
  Programs programs;
  auto window = programs.Start(VELNORA_GUI_PATH, {});
  ASSERT_TRUE(programs.WaitServed()) << Stderr(*window);

  auto cli = programs.Start(velnora::testing::CliPath(), {QStringLiteral("run"), QStringLiteral("--once")});
  ASSERT_TRUE(cli->waitForFinished(15000));
  EXPECT_EQ(cli->exitCode(), 1);
  EXPECT_NE(Stderr(*cli).find("another Velnora process"), std::string::npos);

  const std::string settings = programs.SettingsFolder() + "/" + kSettingsFileName;
  std::filesystem::remove(settings);
  window->terminate();  // SIGTERM
  ASSERT_TRUE(window->waitForFinished(15000));
  EXPECT_EQ(window->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(window->exitCode(), 0) << Stderr(*window);
  EXPECT_TRUE(std::filesystem::exists(settings));
}

TEST(SingleInstance, SigtermDuringAPassWindsItDownAndQuitsSaving) {
  Programs programs;
  velnora::testing::FakeServer pop;
  pop.Send("+OK ready\r\n").ReadLine().Hang(30000);  // the log-in never gets an answer
  pop.Start();
  const QString port = QString::number(pop.port());
  ASSERT_EQ(Cli(programs, {QStringLiteral("set"), QStringLiteral("account"), QStringLiteral("0"),
                           QStringLiteral("enabled=1"), QStringLiteral("accountName=a"),
                           QStringLiteral("popServer=127.0.0.1"), QStringLiteral("popPort=") + port,
                           QStringLiteral("popUser=u"), QStringLiteral("popPassword=p"),
                           QStringLiteral("smtpServer=127.0.0.1"), QStringLiteral("smtpPort=") + port,
                           QStringLiteral("myAddress=a@velnora.test"), QStringLiteral("forwardTo=b@velnora.test"),
                           QStringLiteral("pollInterval=1")}),
            0);
  ASSERT_EQ(Cli(programs, {QStringLiteral("set"), QStringLiteral("common"), QStringLiteral("autoConnect=1"),
                           QStringLiteral("autoConnectDelaySec=1")}),
            0);
  auto window = programs.Start(VELNORA_GUI_PATH, {});
  QElapsedTimer clock;
  clock.start();
  while (pop.Received().find("USER u") == std::string::npos && clock.elapsed() < 20000) QThread::msleep(50);
  ASSERT_NE(pop.Received().find("USER u"), std::string::npos) << Stderr(*window);

  const std::string settings = programs.SettingsFolder() + "/" + kSettingsFileName;
  const auto written = std::filesystem::last_write_time(settings);
  QThread::msleep(20);
  window->terminate();
  ASSERT_TRUE(window->waitForFinished(15000));
  EXPECT_EQ(window->exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(window->exitCode(), 0) << Stderr(*window);
  EXPECT_GT(std::filesystem::last_write_time(settings), written);
  platform::ProcessLock lock;  // released with the process
  EXPECT_EQ(lock.Acquire(programs.SettingsFolder()), platform::ProcessLock::Result::Acquired);
}

}  // namespace
}  // namespace velnora::ui
