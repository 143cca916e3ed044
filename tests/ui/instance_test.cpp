// The velnora program itself, started as a process: one per settings folder,
// a second one hands over and ends, a killed one leaves nothing in the way,
// velnora-cli run refuses while it runs, and SIGTERM takes the quit path.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <filesystem>

#include "config/settings_location.h"
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

}  // namespace
}  // namespace velnora::ui
