// velnora-cli run without servers: the refusals of the start pass and of a
// settings folder that another forwarding process holds.
#include <gtest/gtest.h>

#include <memory>

#include "cli_runner.h"
#include "config/settings_defaults.h"
#include "config/settings_file.h"
#include "platform/process_lock.h"
#include "support/temp_folder.h"
#include "support/test_text.h"

namespace velnora {
namespace {

using testing::RunCli;
using testing::SetText;
using testing::TempFolder;

class RunCommand : public ::testing::Test {
 protected:
  RunCommand() {
    image = std::make_unique<SettingsImage>();
    MakeFreshTable(*image, {});
  }
  void Save() {
    SettingsLocation location(dir.path(), "");
    location.EnterCurrentFolderMode();
    ASSERT_EQ(SaveSettings(*image, location), SaveResult::Saved);
  }
  testing::CliRun Run() {
    testing::ScopedEnv runtime("XDG_RUNTIME_DIR", home.path());
    return RunCli(home.path(), {"--dir", dir.path(), "run", "--once"});
  }

  TempFolder dir;
  TempFolder home;
  std::unique_ptr<SettingsImage> image;
};

TEST_F(RunCommand, RefusesWithoutAnEnabledAccount) {
  Save();
  const auto run = Run();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("すべてのアカウントが無効に設定されています。"), std::string::npos) << run.err;
}

TEST_F(RunCommand, RefusesAnIncompleteAccountNamingIt) {
  image->accounts[2].enabled = 1;
  SetText(image->accounts[2].popUser, "carol");
  Save();
  const auto run = Run();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("有効なアカウントに、設定されていない項目があります。\n(carol)"), std::string::npos)
      << run.err;
}

TEST_F(RunCommand, RefusesASettingsFolderInUse) {
  Save();
  platform::ProcessLock held;
  ASSERT_EQ(held.Acquire(dir.path()), platform::ProcessLock::Result::Acquired);
  const auto run = Run();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("another Velnora process"), std::string::npos) << run.err;
  held.Release();
  // Released (as by a process that died), the folder can be used again.
  EXPECT_NE(Run().err.find("すべてのアカウントが無効"), std::string::npos);
}

TEST(ProcessLock, HeldOnlyOncePerFolder) {
  TempFolder dir;
  platform::ProcessLock first, second;
  EXPECT_EQ(first.Acquire(dir.path()), platform::ProcessLock::Result::Acquired);
  EXPECT_EQ(second.Acquire(dir.path()), platform::ProcessLock::Result::HeldElsewhere);
  first.Release();
  EXPECT_EQ(second.Acquire(dir.path()), platform::ProcessLock::Result::Acquired);
}

}  // namespace
}  // namespace velnora
