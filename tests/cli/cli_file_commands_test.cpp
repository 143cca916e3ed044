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

// A settings file that is not whole and valid is kept byte for byte by every
// command that would write it, and the command says what is wrong.
TEST_F(CliFiles, ADamagedSettingsFileIsNeverOverwritten) {
  ASSERT_EQ(Cli({"set", "account", "7", "accountName=seven"}).exitCode, 0);
  const std::vector<uint8_t> whole = ReadBytes(Settings());
  ASSERT_EQ(whole.size(), kFileSize);
  std::vector<uint8_t> old(kCommonBytes + 100 * kAccountBytes, 0);
  PutText(old, 0, "VEL_NORA4_SP1");
  WriteBytes(elsewhere.File("old.prf"), Scrambled(old));

  struct Damage {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* said;
  };
  std::vector<uint8_t> flipped = whole, cut(whole.begin(), whole.begin() + whole.size() / 2), longer = whole;
  flipped[2] ^= 0x01;
  longer.push_back(0);
  const Damage damages[] = {
      {"first bytes flipped", flipped, "does not begin with the identification"},
      {"cut in half", cut, "is cut short: 9,416,316 bytes instead of 18,832,633"},
      {"bytes after the layout", longer, "is too long"},
  };
  testing::ScopedEnv runtime("XDG_RUNTIME_DIR", config.path());
  for (const Damage& damage : damages) {
    WriteBytes(Settings(), damage.bytes);
    const std::vector<std::vector<std::string>> writers = {
        {"run", "--once"}, {"set", "common", "historyLimit=5"}, {"import-old", "--kind", "2", elsewhere.File("old.prf")}};
    for (const auto& writer : writers) {
      const CliRun run = Cli(writer);
      EXPECT_NE(run.exitCode, 0) << damage.name << ": " << writer[0];
      EXPECT_NE(run.err.find(damage.said), std::string::npos) << damage.name << ": " << run.err;
      EXPECT_EQ(run.err.find("すべてのアカウントが無効"), std::string::npos) << run.err;
      EXPECT_TRUE(ReadBytes(Settings()) == damage.bytes) << damage.name << ": " << writer[0] << " wrote the file";
    }
    // A restore is refused when its source is damaged, and keeps what it replaces.
    WriteBytes(elsewhere.File("bad.prf"), damage.bytes);
    WriteBytes(Settings(), whole);
    const CliRun refused = Cli({"restore", elsewhere.File("bad.prf")});
    EXPECT_EQ(refused.exitCode, 1) << damage.name;
    EXPECT_NE(refused.err.find(damage.said), std::string::npos) << refused.err;
    EXPECT_TRUE(ReadBytes(Settings()) == whole) << damage.name << ": restore copied a damaged file";
  }
  WriteBytes(elsewhere.File("junk.prf"), std::vector<uint8_t>(5000, 0x41));
  EXPECT_EQ(Cli({"restore", elsewhere.File("junk.prf")}).exitCode, 1);
  EXPECT_TRUE(ReadBytes(Settings()) == whole);

  ASSERT_EQ(Cli({"backup", elsewhere.File("good.prf")}).exitCode, 0);
  ASSERT_EQ(Cli({"set", "account", "7", "accountName=changed"}).exitCode, 0);
  const std::vector<uint8_t> replaced = ReadBytes(Settings());
  ASSERT_EQ(Cli({"restore", elsewhere.File("good.prf")}).exitCode, 0);
  EXPECT_TRUE(ReadBytes(Settings() + ".bak") == replaced) << "the replaced file is kept beside it";
  EXPECT_EQ(ShownValue(Cli({"show", "account", "7"}).out, "accountName"), "seven");
}

}  // namespace
}  // namespace velnora
