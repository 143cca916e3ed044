// velnora-cli backup, restore and import-old on real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"
#include "platform/process_lock.h"
#include "support/settings_bytes.h"
#include "support/temp_folder.h"

namespace velnora {
namespace {

using namespace velnora::testing;

class CliFiles : public ::testing::Test {
 protected:
  CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--dir", current.path()});
    return RunCli(config.path(), args);
  }
  std::string Settings() const { return config.File("velnora/velnora4_zo400.prf"); }
  TempFolder current, config, elsewhere;
};

TEST_F(CliFiles, BackupThenRestoreBringsTheOldValuesBack) {
  ASSERT_EQ(Cli({"set", "account", "4", "pollInterval=20"}).exitCode, 0);
  ASSERT_EQ(Cli({"backup", elsewhere.File("b.prf")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(elsewhere.File("b.prf")), ReadBytes(Settings()));

  ASSERT_EQ(Cli({"set", "account", "4", "pollInterval=40"}).exitCode, 0);
  ASSERT_EQ(Cli({"restore", elsewhere.File("b.prf")}).exitCode, 0);
  EXPECT_EQ(ShownValue(Cli({"show", "account", "4"}).out, "pollInterval"), "20");
}

TEST_F(CliFiles, BackupAndRestoreFailuresExit1) {
  CliRun run = Cli({"backup", elsewhere.File("b.prf")});  // no settings file yet
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Error: Cannot backup settings!"), std::string::npos);

  ASSERT_EQ(Cli({"set", "common", "sessionLog=1"}).exitCode, 0);
  const std::vector<uint8_t> before = ReadBytes(Settings());
  run = Cli({"restore", elsewhere.File("missing.prf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Error: Cannot restore settings!"), std::string::npos);
  EXPECT_EQ(ReadBytes(Settings()), before);

  EXPECT_EQ(Cli({"backup"}).exitCode, 1);
}

TEST_F(CliFiles, ImportOldTakesTheHundredAccountEdition) {
  ASSERT_EQ(Cli({"set", "account", "100", "accountName=keep"}).exitCode, 0);
  std::vector<uint8_t> old(kCommonBytes + 100 * kAccountBytes, 0);
  PutText(old, 0, "VEL_NORA4_SP1");
  PutInt16(old, 36, 1);  // autoConnect
  PutText(old, kCommonBytes + 99 * kAccountBytes + 5123, "old99");
  WriteBytes(elsewhere.File("old.prf"), Scrambled(old));

  CliRun run = Cli({"import-old", "--kind", "1", elsewhere.File("old.prf")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Ver3"), std::string::npos) << run.err;

  run = Cli({"import-old", "--kind", "2", elsewhere.File("old.prf")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("環境設定の取り込みを完了しました。"), std::string::npos);
  EXPECT_EQ(ShownValue(Cli({"show", "account", "99"}).out, "accountName"), "old99");
  EXPECT_EQ(ShownValue(Cli({"show", "account", "100"}).out, "accountName"), "keep");
  EXPECT_EQ(ShownValue(Cli({"show", "common"}).out, "autoConnect"), "0");

  EXPECT_EQ(Cli({"import-old", "--kind", "3", elsewhere.File("old.prf")}).exitCode, 1);
}

TEST_F(CliFiles, SettingsChangesAreRefusedWhileRunHoldsTheFolder) {
  ASSERT_EQ(Cli({"set", "common", "historyLimit=1234"}).exitCode, 0);
  ASSERT_EQ(Cli({"backup", elsewhere.File("b.prf")}).exitCode, 0);
  std::vector<uint8_t> old(kCommonBytes + 100 * kAccountBytes, 0);
  PutText(old, 0, "VEL_NORA4_SP1");
  WriteBytes(elsewhere.File("old.prf"), Scrambled(old));
  const std::vector<uint8_t> before = ReadBytes(Settings());

  platform::ProcessLock running;  // what run holds while it forwards
  ASSERT_EQ(running.Acquire(config.File("velnora")), platform::ProcessLock::Result::Acquired);
  const std::vector<std::vector<std::string>> changes = {
      {"set", "common", "historyLimit=99"},
      {"restore", elsewhere.File("b.prf")},
      {"import-old", "--kind", "2", elsewhere.File("old.prf")},
  };
  for (const auto& change : changes) {
    const CliRun run = Cli(change);
    EXPECT_EQ(run.exitCode, 1) << change[0];
    EXPECT_NE(run.err.find("is forwarding with the settings in"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(Settings()), before) << change[0];
  }
  EXPECT_EQ(Cli({"show", "common"}).exitCode, 0) << "reading stays allowed";
  running.Release();
  EXPECT_EQ(Cli({"set", "common", "historyLimit=99"}).exitCode, 0);
}

}  // namespace
}  // namespace velnora
